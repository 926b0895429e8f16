#pragma once
// The colour-modulated blend of one pixel pair and of one pixel, shared by the integer kernel
// and its SSE2 twin so that both write the same bytes.
//
// A 32-bit word holds two 16-bit pixels; each channel is moved into the low bits of both
// halves and one multiplication serves both. 64 (0x40 in each half) is added before every
// multiplication and the matching floor(a/4) or floor(f/4) taken off afterwards, so every
// intermediate half stays non-negative and no borrow crosses from one pixel into the other.
// Per half this gives
//     s' = floor((s + 64) * f / 256) - floor(f / 4)
//     out = d + floor((s' - d + 64) * a / 256) - floor(a / 4)
// which rounds differently from the single-pixel formula used for the odd last pixel and for
// the other layouts:
//     s' = floor(s * f / 256),  out = d + floor((s' - d) * a / 256).

#include <cstdint>

#include "blend/BlendMath.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
// Internal linkage: the SIMD files include this too, built with other flags.
namespace {

// Alpha and factors, expanded once per call.
struct ColourAlpha {
    std::uint32_t alpha;
    std::uint32_t alphaQuarterPair;  // floor(a / 4) in both halves
    std::uint32_t red, green, blue;
    std::uint32_t redQuarterPair, greenQuarterPair, blueQuarterPair;  // floor(f / 4) in both halves
};

// floor(f / 4) in both 16-bit halves, without a multiplication.
inline std::uint32_t quarterInBothHalves(std::uint32_t factor) {
    return ((factor & ~3u) << 14) | (factor >> 2);
}

inline ColourAlpha expandParameters(int alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    const std::uint32_t a = clampAlpha(alpha);
    return {a,
            (a >> 2) * 0x00010001u,
            red,
            green,
            blue,
            quarterInBothHalves(red),
            quarterInBothHalves(green),
            quarterInBothHalves(blue)};
}

// The pair path of one channel, with its bias folded in (what the wide twins compute): with
// f = 4q + r, floor((s + 64) * f / 256) - q = floor((s * f + 64 * r) / 256), which for f <= 255 and
// a channel of at most 6 bits never exceeds the channel's field, so the mask after it changes
// nothing; adding 64 * 256 gives s' + 64, the biased value the second step needs. Likewise the
// second step's result lies between s' and d, so its mask changes nothing either.
inline std::uint32_t pairRoundAndBias(std::uint32_t factor) { return 64u * (factor & 3u) + 64u * 256u; }

// Keeps the destination half of every pixel whose source half is 0; the arithmetic has run
// for both halves regardless, so transparency costs no branch per pixel.
inline std::uint32_t mergeTransparentHalves(std::uint32_t source, std::uint32_t blended,
                                     std::uint32_t destination) {
    const std::uint32_t keepLow = (source & 0xFFFFu) == 0 ? 0x0000FFFFu : 0u;
    const std::uint32_t keepHigh = (source >> 16) == 0 ? 0xFFFF0000u : 0u;
    const std::uint32_t keep = keepLow | keepHigh;
    return (blended & ~keep) | (destination & keep);
}

template <bool Is565>
inline std::uint32_t blendPair(std::uint32_t S, std::uint32_t D, const ColourAlpha& k) {
    constexpr unsigned redShift = Is565 ? 11 : 10;
    constexpr std::uint32_t five = 0x001F001Fu;
    constexpr std::uint32_t greenField = Is565 ? 0x003F003Fu : 0x001F001Fu;
    constexpr std::uint32_t bias = 0x00400040u;

    const std::uint32_t sr = (((((S >> redShift) & five) + bias) * k.red >> 8) - k.redQuarterPair) & five;
    const std::uint32_t dr = (D >> redShift) & five;
    // The product keeps 8 fraction bits; the destination is added at the same scale.
    const std::uint32_t R = (((sr - dr + bias) * k.alpha) & 0xFFFFFF00u) + ((dr - k.alphaQuarterPair) << 8);
    const std::uint32_t redBits = Is565 ? (R << 3) & 0xF800F800u : (R << 2) & 0x7C007C00u;

    const std::uint32_t sg = (((((S >> 5) & greenField) + bias) * k.green >> 8) - k.greenQuarterPair) & greenField;
    const std::uint32_t dg = (D >> 5) & greenField;
    // Scaled so that the result lands directly at bit 5.
    const std::uint32_t G = ((((sg - dg + bias) * k.alpha) >> 3) & 0xFFFFFFE0u) + ((dg - k.alphaQuarterPair) << 5);
    const std::uint32_t greenBits = G & 0x07E007E0u;

    const std::uint32_t sb = ((((S & five) + bias) * k.blue >> 8) - k.blueQuarterPair) & five;
    const std::uint32_t db = D & five;
    const std::uint32_t blueBits = (((((sb - db + bias) * k.alpha) >> 8) - k.alphaQuarterPair) + db) & five;

    return mergeTransparentHalves(S, redBits | greenBits | blueBits, D);
}

// One channel of a 16-bit pixel at its own bit position: with the channel at bit p,
// floor(v * 2^p / 256) keeps floor(v / 256) in the bits from p up, so the mask afterwards
// yields exactly the per-channel single-pixel formula.
inline std::uint32_t blendMaskedChannel(std::uint32_t s, std::uint32_t d, std::uint32_t sourceMask,
                                 std::uint32_t destinationMask, std::uint32_t factor,
                                 std::uint32_t a) {
    const std::uint32_t modulated = ((s & sourceMask) * factor >> 8) & sourceMask;
    const std::uint32_t dc = d & destinationMask;
    return (floorDiv256((modulated - dc) * a) + dc) & destinationMask;
}

inline std::uint32_t blendSinglePixel16(std::uint32_t s, std::uint32_t d, const ChannelMasks16& sourceMasks,
                                 const ChannelMasks16& destinationMasks, const ColourAlpha& k) {
    return blendMaskedChannel(s, d, sourceMasks.red, destinationMasks.red, k.red, k.alpha) |
           blendMaskedChannel(s, d, sourceMasks.green, destinationMasks.green, k.green, k.alpha) |
           blendMaskedChannel(s, d, sourceMasks.blue, destinationMasks.blue, k.blue, k.alpha);
}

// One 16-bit pixel in memory by the single-pixel formula; a transparent (0) source leaves it.
inline void blendSingle16At(const std::uint8_t* source, std::uint8_t* destination, const ChannelMasks16& sourceMasks,
                            const ChannelMasks16& destinationMasks, const ColourAlpha& k) {
    const std::uint32_t s = load16(source);
    if (s == 0) return;
    store16(destination, blendSinglePixel16(s, load16(destination), sourceMasks, destinationMasks, k));
}

// One 8-bit channel by the single-pixel formula.
inline std::uint32_t blendByte(std::uint32_t s, std::uint32_t d, std::uint32_t factor, std::uint32_t a) {
    return blendToward(s * factor >> 8, d, a) & 0xFFu;
}

// Blue, green and red of two 24-bit values (blue in the low byte); the top byte becomes 0.
inline std::uint32_t blendBgr(std::uint32_t s, std::uint32_t d, const ColourAlpha& k) {
    const std::uint32_t blue = blendByte(s & 0xFFu, d & 0xFFu, k.blue, k.alpha);
    const std::uint32_t green = blendByte(s >> 8 & 0xFFu, d >> 8 & 0xFFu, k.green, k.alpha);
    const std::uint32_t red = blendByte(s >> 16 & 0xFFu, d >> 16 & 0xFFu, k.red, k.alpha);
    return blue | green << 8 | red << 16;
}

}  // namespace
}  // namespace ZelUISystem::blend
