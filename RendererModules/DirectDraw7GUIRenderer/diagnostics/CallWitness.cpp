#include "diagnostics/CallWitness.h"

namespace ZelUISystem {

CallWitness* callWitness = nullptr;

}  // namespace ZelUISystem
