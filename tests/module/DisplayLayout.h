#pragma once
// A DirectDraw whose display shows a given pixel layout, so that everything the module creates
// without naming a layout (textures, scratch and composition surfaces, a host's target) is in
// that layout. The software DirectDraw shows any layout itself. A real DirectDraw under Wine
// shows only 32-bit and 565 displays but makes off-screen surfaces in every layout, so there
// the DirectDraw is seen through an object that passes every call on and only gives a surface
// asked without a layout the display's one, as such a display would.

#include "platform/DirectDraw.h"

namespace moduletest {

// Null when no DirectDraw could be made. Release it with ddtest::releaseTestDirectDraw.
IDirectDraw7* createDirectDrawShowing(const DDPIXELFORMAT& layout);

}  // namespace moduletest
