#pragma once
// The real DirectDraw 7 of a Windows (or Wine) test process, at DDSCL_NORMAL, with the display
// switched to the layout a test asks for when it does not show it already.

#include "platform/DirectDraw.h"

namespace ddtest {

// A new object whose display shows the layout, or null when the display cannot show it.
// modeChanged tells whether the display mode was switched for it.
IDirectDraw7* openRealDirectDraw(const DDPIXELFORMAT& wanted, bool& modeChanged);
// Restores the display mode if it was switched, then drops the reference.
void closeRealDirectDraw(IDirectDraw7* directDraw, bool modeChanged);
// Setting a display mode at DDSCL_NORMAL, even the current one, loses the surfaces that can be
// lost; the mode found at the start is then put back.
HRESULT loseRealSurfaces(IDirectDraw7* directDraw, bool modeChanged);

}  // namespace ddtest
