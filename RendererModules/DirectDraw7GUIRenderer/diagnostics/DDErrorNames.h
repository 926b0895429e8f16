#pragma once
// The published names of the DirectDraw result codes the module names in its texts: the log
// line of a failed blit and the failure text of a surface creation both take them from here.

#include "platform/DirectDraw.h"

namespace ZelUISystem {

// "DDERR_..." for a code of platform/DirectDraw.h, null for any other code.
const char* ddErrorName(HRESULT result);

}  // namespace ZelUISystem
