#pragma once
// Integer arithmetic shared by the kernels: alpha clamping, the signed blend of one channel,
// and the channel masks of the 16-bit layouts. Compiled into units built with different SIMD
// flags, so everything here has internal linkage.

#include <cstdint>

#include "blend/BlendCore.h"

namespace ZelUISystem::blend {
namespace {

// Alpha arrives as any int; 256 is full coverage.
inline std::uint32_t clampAlpha(int alpha) {
    if (alpha < 0) return 0;
    if (alpha > 256) return 256;
    return static_cast<std::uint32_t>(alpha);
}

// floor(value / 256) of a two's-complement value kept in an unsigned word. The arithmetic
// stays unsigned (no signed overflow); the final shift is the compiler's arithmetic shift.
inline std::uint32_t floorDiv256(std::uint32_t value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value) >> 8);
}

// d + floor((s - d) * a / 256): moves d towards s by a/256, rounding towards minus infinity,
// so the result always lies between s and d.
inline std::uint32_t blendToward(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    return d + floorDiv256((s - d) * a);
}

// Number of zero bits below the lowest set bit; 0 for an empty mask.
inline unsigned lowestSetBit(std::uint32_t mask) {
    if (mask == 0) return 0;
    unsigned shift = 0;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Every colour bit except the lowest bit of each channel: (x AND k) >> 1 halves every
// channel of x without letting a bit fall into the channel below.
inline std::uint32_t halvingMask(const ChannelMasks16& masks) {
    return (masks.red & (masks.red << 1)) | (masks.green & (masks.green << 1)) |
           (masks.blue & (masks.blue << 1));
}

}  // namespace
}  // namespace ZelUISystem::blend
