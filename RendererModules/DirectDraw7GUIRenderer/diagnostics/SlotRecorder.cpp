#include "diagnostics/SlotRecorder.h"

namespace ZelUISystem {

SlotRecorder* hostSlotRecorder = nullptr;

}  // namespace ZelUISystem
