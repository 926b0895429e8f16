#pragma once
// Where a frame's time goes on a real DirectDraw: the surface calls the renderer makes are
// timed one by one by a thin wrapper around the DirectDraw's own entry points, and the time
// between a kernel's two locks and its first unlock is the kernel's. The same calls give the
// frame's least traffic (the fills, copies and locks, as natively from the call log).
//
// The wrapper replaces a few entries of the function table that every IDirectDrawSurface7 of
// the DirectDraw shares (the published COM layout), each with a function that reads the clock,
// calls the original and reads the clock again. A wrapper object per surface would do the same
// but must stand in for every method and unwrap every surface argument.

#include <cstddef>
#include <string>
#include <vector>

#include "screen/FrameTraffic.h"
#include "platform/DirectDraw.h"

namespace framebench {

// Blits by what they do, since their costs differ by far.
enum class TimedCall {
    BltFill,       // Blt with DDBLT_COLORFILL
    BltCopy,       // Blt from a surface: stretched, or keyed (DDBLT_KEYSRCOVERRIDE)
    BltFastKeyed,  // BltFast with DDBLTFAST_SRCCOLORKEY
    BltFast,       // BltFast without a key
    Lock,
    Unlock,
    IsLost,
    ColorKey,  // GetColorKey and SetColorKey
};
constexpr std::size_t kTimedCallCount = 8;
const char* timedCallName(TimedCall call);

struct CallTally {
    std::size_t count = 0;
    double seconds = 0.0;
    double pixels = 0.0;  // blits: destination pixels written; locks: pixels locked
};

struct FrameCallTimes {
    CallTally calls[kTimedCallCount];
    double kernelSeconds = 0.0;        // from a kernel's second lock to its first unlock
    double queueSeconds = 0.0;         // queueing the quads (submitQuad)
    std::vector<PixelCall> pixelCalls;  // the successful fills, copies and locks, in order
};

// Wraps the entries of the table `surface` uses (shared by all surfaces of its DirectDraw).
// Once per process; false with `error` set when the table cannot be written.
bool installCallTimer(IDirectDrawSurface7* surface, std::string& error);

// While `times` is not null, every wrapped call adds itself to it; otherwise the wrappers
// only pass the call on.
void recordCallsInto(FrameCallTimes* times);

}  // namespace framebench
