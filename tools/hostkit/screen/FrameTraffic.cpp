#include "screen/FrameTraffic.h"

#include <algorithm>

namespace framebench {

namespace {

std::int64_t widthOf(const RECT& rect) { return std::max<std::int64_t>(0, std::int64_t{rect.right} - rect.left); }
std::int64_t heightOf(const RECT& rect) { return std::max<std::int64_t>(0, std::int64_t{rect.bottom} - rect.top); }
std::int64_t areaOf(const RECT& rect) { return widthOf(rect) * heightOf(rect); }

// The source pixels a nearest-neighbour stretch samples: all of them when it magnifies, one
// per destination column and row when it shrinks.
std::int64_t sampledSourcePixels(const PixelCall& call) {
    return std::min(widthOf(call.source), widthOf(call.dest)) *
           std::min(heightOf(call.source), heightOf(call.dest));
}

}  // namespace

std::int64_t leastTrafficBytes(const std::vector<PixelCall>& calls, std::uint32_t bytesPerPixel) {
    std::int64_t pixels = 0;
    bool kernelDestinationLocked = false;
    for (const PixelCall& call : calls) {
        switch (call.kind) {
            case PixelCall::Kind::Fill: pixels += areaOf(call.dest); break;
            case PixelCall::Kind::Copy: pixels += areaOf(call.dest) + sampledSourcePixels(call); break;
            case PixelCall::Kind::Lock:
                // The destination's lock comes first: its pixels are read and written; the
                // source's lock then adds one read.
                pixels += (kernelDestinationLocked ? 1 : 2) * areaOf(call.dest);
                kernelDestinationLocked = !kernelDestinationLocked;
                break;
        }
    }
    return pixels * bytesPerPixel;
}

}  // namespace framebench
