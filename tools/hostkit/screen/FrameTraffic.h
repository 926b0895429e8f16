#pragma once
// The least memory traffic of a frame: the bytes that the DirectDraw calls and kernels of the
// renderer's own call sequence must read and write at the very least, whoever does the work.
// Both frame benchmarks count it from the calls they saw (the software DirectDraw's call log
// natively, the timing hooks under Wine), so the floor follows the module's call sequence
// without a second model of how a quad is drawn.

#include <cstdint>
#include <vector>

#include "platform/DirectDraw.h"

namespace framebench {

// One successful DirectDraw call that moves pixels, its rectangles already resolved (a null
// rectangle replaced by the whole surface).
struct PixelCall {
    enum class Kind {
        Fill,  // Blt with DDBLT_COLORFILL: writes the destination
        Copy,  // Blt or BltFast from a surface: reads the source, writes the destination
        Lock,  // the module locks a kernel's destination, then its source
    };
    Kind kind = Kind::Fill;
    RECT dest{};    // Fill, Copy: the destination rectangle; Lock: the locked rectangle
    RECT source{};  // Copy: the source rectangle
};

// Bytes read and written, pixels of `bytesPerPixel`:
// - a fill writes its rectangle once;
// - a copy writes its destination once and reads each source pixel it samples once (a stretch
//   that magnifies reads every source pixel, one that shrinks only the rows and columns it
//   keeps); a colour key changes nothing: it needs no read of the destination;
// - two consecutive locks are one kernel: it reads the source and the destination and writes
//   the destination, the same three passes as the memory pass.
std::int64_t leastTrafficBytes(const std::vector<PixelCall>& calls, std::uint32_t bytesPerPixel);

// The memory pass over two buffers of `bufferBytes` each reads both and writes one.
inline std::int64_t memoryPassBytes(std::int64_t bufferBytes) { return 3 * bufferBytes; }

}  // namespace framebench
