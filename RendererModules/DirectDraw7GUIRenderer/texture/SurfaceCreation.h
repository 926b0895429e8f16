#pragma once
// The failure text of a surface that DirectDraw did not create, chosen by its result code.

#include <string>

#include "platform/DirectDraw.h"

namespace ZelUISystem {

std::string surfaceCreationFailureText(HRESULT result);

}  // namespace ZelUISystem
