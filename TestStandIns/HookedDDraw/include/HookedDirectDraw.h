#pragma once
// The DirectDraw the reliability suites and the fuzz hosts drive the module with: one with the
// test hooks (fault injection, call log, live and over-released surface counts, loss). Natively
// it is the software stand-in itself; on Windows (and under Wine) the real DirectDraw 7 behind
// the fault-injecting wrapper. Both have the same hook functions, so the suites are written once.

#include "platform/DirectDraw.h"

#if DD7R_TEST_SOFT_DDRAW
#include "softddraw/SoftDirectDraw.h"
#else
#include "FaultingDirectDraw.h"
#endif

namespace ddtest {

#if DD7R_TEST_SOFT_DDRAW
using HookedDirectDraw = softddraw::SoftDirectDraw;
#else
using HookedDirectDraw = FaultingDirectDraw;
#endif

// A new object with one reference whose display has this layout: exactly natively; on Windows
// the nearest layout the real display can show (8-bit palettized, 565 for every 16-bit layout,
// 24-bit, else 32-bit). Null when no DirectDraw can be had.
HookedDirectDraw* createHookedDirectDraw(const DDPIXELFORMAT& display);

}  // namespace ddtest
