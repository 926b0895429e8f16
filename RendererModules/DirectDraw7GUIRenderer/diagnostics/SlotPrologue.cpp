#include "diagnostics/SlotPrologue.h"

namespace ZelUISystem {
namespace slots {

const SlotRecorders* slotRecorders = nullptr;

}  // namespace slots
}  // namespace ZelUISystem
