#pragma once
// The pixel-moving calls of a software DirectDraw's call log, for the frame's least traffic.

#include <vector>

#include "screen/FrameTraffic.h"
#include "softddraw/CallRecord.h"

namespace framebench {

// The successful fills, copies and locks of `log`, in order, null rectangles resolved to the
// whole surface (asked of the surface itself, which logs that question too).
std::vector<PixelCall> pixelCallsOf(const std::vector<softddraw::CallRecord>& log);

}  // namespace framebench
