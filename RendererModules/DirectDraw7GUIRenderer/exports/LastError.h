#pragma once
// The module-wide last-error text: written only by a failing createRenderer, never cleared.

#include <string>

namespace ZelUISystem {

const std::string& lastErrorText();
void setLastErrorText(std::string text);

}  // namespace ZelUISystem
