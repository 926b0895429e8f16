#pragma once
// The failures the module reports before raising them: the text goes to the module logger's
// reportFatal (flag 1), when a logger exists, and is then raised as a standard exception.

#include <string>

namespace ZelUISystem {

[[noreturn]] void raiseReported(const std::string& message);

}  // namespace ZelUISystem
