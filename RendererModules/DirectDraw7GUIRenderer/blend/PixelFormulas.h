#pragma once
// The integer arithmetic of one pixel: the channel steps every kernel shares, and the formulas
// each reference kernel uses for the pixels it does one at a time. Its twins take the same
// formulas for the same pixels, so that all write the same bytes. Internal linkage: included by
// units built with different SIMD flags.

#include <cstdint>

#include "blend/BlendCore.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
namespace {

// ---- Every operation ----

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

// ---- Constant alpha (BlendAlphaMMX, Alpha_mmx.cpp) ----
// The pixels the MMX kernel does one at a time: the 16-bit pixels after the last group of four
// and the odd last 32-bit pixel, out = d + floor((s - d) * a / 256) per channel; a 24-bit pixel,
// d + floor(s*a/256) - floor(d*a/256).

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

// ---- Colour-modulated constant alpha (BlendColorAlpha, ColourModulated_scalar.cpp) ----
// A pixel pair in one 32-bit word and a single pixel.
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

// ---- 50 % average in lanes (BlendHalfMMX, HalfLanes_mmx.cpp) ----

// ((D >> 1) AND 0x7F7F7F) + (((S AND 0xFFFFFF) >> 1) AND 0x7F7F7F): half of each of blue, green
// and red; the top byte becomes 0.
inline std::uint32_t averageBgr(std::uint32_t s, std::uint32_t d) {
    return ((d >> 1) & 0x7F7F7Fu) + (((s & 0xFFFFFFu) >> 1) & 0x7F7F7Fu);
}

}  // namespace
}  // namespace ZelUISystem::blend
