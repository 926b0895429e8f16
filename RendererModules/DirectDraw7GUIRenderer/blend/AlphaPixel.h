#pragma once
// The constant-alpha blend of the pixels the MMX kernel does one at a time (the 16-bit pixels
// after the last group of four, the odd last 32-bit pixel: out = d + floor((s - d) * a / 256)
// per channel; a 24-bit pixel: d + floor(s*a/256) - floor(d*a/256)), shared with its twins so
// that all write the same bytes.

#include <cstdint>

#include "blend/BlendMath.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
// Internal linkage: included by files built with different SIMD flags.
namespace {

// One channel of a 16-bit pixel in place: with the channel at bit p, floor(v * 2^p / 256)
// keeps floor(v / 256) from bit p up, so the mask afterwards leaves exactly that channel.
inline std::uint32_t blendChannelInPlace(std::uint32_t s, std::uint32_t d, std::uint32_t sourceMask,
                                         std::uint32_t destinationMask, std::uint32_t a) {
    const std::uint32_t dc = d & destinationMask;
    return (floorDiv256(((s & sourceMask) - dc) * a) + dc) & destinationMask;
}

// Source channels by the source's masks, destination channels by the destination's.
inline void blendSingle16(const std::uint8_t* source, std::uint8_t* destination,
                          const ChannelMasks16& sourceMasks, const ChannelMasks16& destinationMasks,
                          std::uint32_t a) {
    const std::uint32_t s = load16(source);
    if (s == 0) return;
    const std::uint32_t d = load16(destination);
    store16(destination, blendChannelInPlace(s, d, sourceMasks.red, destinationMasks.red, a) |
                             blendChannelInPlace(s, d, sourceMasks.green, destinationMasks.green, a) |
                             blendChannelInPlace(s, d, sourceMasks.blue, destinationMasks.blue, a));
}

// The 24-bit pixel and each pixel of a 32-bit pair: d + floor(s*a/256) - floor(d*a/256) for the
// three colour bytes, each saturated to a byte as the MMX pack does; the top byte becomes 0.
inline std::uint32_t blendWidenedBgr(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    std::uint32_t out = 0;
    for (unsigned shift = 0; shift < 24; shift += 8) {
        const std::int32_t sc = static_cast<std::int32_t>(s >> shift & 0xFFu);
        const std::int32_t dc = static_cast<std::int32_t>(d >> shift & 0xFFu);
        const std::int32_t sum = dc + (sc * static_cast<std::int32_t>(a) >> 8) - (dc * static_cast<std::int32_t>(a) >> 8);
        const std::int32_t saturated = sum < 0 ? 0 : sum > 255 ? 255 : sum;
        out |= static_cast<std::uint32_t>(saturated) << shift;
    }
    return out;
}

// The odd last 32-bit pixel: blue, green and red blended, top byte 0.
inline void blendLast32(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t a) {
    const std::uint32_t s = load32(source);
    if ((s & 0x00FFFFFFu) == 0) return;
    const std::uint32_t d = load32(destination);
    std::uint32_t out = 0;
    for (unsigned shift = 0; shift < 24; shift += 8)
        out |= (blendToward(s >> shift & 0xFFu, d >> shift & 0xFFu, a) & 0xFFu) << shift;
    store32(destination, out);
}

}  // namespace
}  // namespace ZelUISystem::blend
