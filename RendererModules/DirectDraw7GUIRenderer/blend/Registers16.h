#pragma once
// 16-bit pixels (555, 565 and other masks) in vector registers: the lane formulas of the three
// operations, each written once for a register width W (Vec128 or Vec256, Registers.h), shared
// by the twins of the 16-bit layouts (*16_sse2.cpp, *16_avx2.cpp, *16_avx512.cpp). Pixels a
// twin does one at a time take the reference's own formulas (PixelFormulas.h).
//
// Most formulas keep the destination where it lies: every channel's result is d + step with d
// between 0 and the channel's field, so the packed result is
//     (D AND the channel masks) + sum over the channels of step * 2^p - constant
// in 16-bit arithmetic (each term is exact modulo 2^16 and the channels do not overlap). Only
// the steps need the channels apart; the destination is never put back together.
//
// Products by the unsigned high multiplication give a floor directly: for x < 2^16 and
// m <= 255, mulhi(x, m * 256) = floor(x * m / 256), and for a channel at bit p,
// mulhi(s * 2^p, f * 256) = floor(s * f * 2^p / 256), whose bits from p up are floor(s * f / 256).

#if !defined(__SSE2__)
#error "Registers16.h holds SSE2 code: include it only from files built with SSE2 (or wider) flags"
#endif

#include <cstdint>
#include <type_traits>
#include <utility>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {
namespace {

// ---- Constant alpha (BlendAlphaMMX) ----

// Any masks: the MMX group formula itself, out = d + floor((s - d) * a / 256) per channel, as a
// signed lane product and an arithmetic shift, each channel taken down to bit 0 and put back;
// lanes whose source pixel is 0 keep the destination. Groups use the destination's masks on
// both sides.
template <typename W>
struct Lanes16 {
    typename W::V mask[3];
    __m128i shift[3];
    typename W::V alpha;
};

template <typename W>
Lanes16<W> makeLanes16(const ChannelMasks16& masks, std::uint32_t a) {
    const std::uint32_t channelMasks[3] = {masks.red, masks.green, masks.blue};
    Lanes16<W> lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = W::splat16(channelMasks[c]);
        lanes.shift[c] = W::count(lowestSetBit(channelMasks[c]));
    }
    lanes.alpha = W::splat16(a);
    return lanes;
}

template <typename W>
typename W::V blendLanes16(typename W::V s, typename W::V d, const Lanes16<W>& lanes) {
    using V = typename W::V;
    V out = W::zero();
    for (int c = 0; c < 3; ++c) {
        const V sc = W::shiftRight16(W::bitAnd(s, lanes.mask[c]), lanes.shift[c]);
        const V dc = W::shiftRight16(W::bitAnd(d, lanes.mask[c]), lanes.shift[c]);
        const V step = W::template shiftRightSigned16<8>(W::multiplyLow16(W::subtract16(sc, dc), lanes.alpha));
        out = W::bitOr(out, W::shiftLeft16(W::add16(dc, step), lanes.shift[c]));
    }
    return W::keepWhereSourceZero(s, d, out);
}

// 555 and 565, the same group formula with the destination in place: blue by the low product
// shifted arithmetically by 8; green from (s - d) * 32 in place, whose signed high product with
// 8a is the step. Red of 565 from s - d at bit 0, whose low product with 8a holds the step from
// bit 11 up (modulo 2^16, which is all the sum keeps); red of 555 from (s - d) * 2^10 in place,
// shifted arithmetically down to (s - d) * 256, whose signed high product with a is the step.
template <typename W>
struct FixedAlphaConstants {
    typename W::V alpha, alphaTimes8;
};

template <typename W>
FixedAlphaConstants<W> makeFixedAlphaConstants(std::uint32_t a) {
    return {W::splat16(a), W::splat16(a * 8)};
}

template <typename W, bool Is565>
typename W::V blendFixedAlphaInPlace(typename W::V S, typename W::V D, const FixedAlphaConstants<W>& k) {
    using V = typename W::V;
    V red;
    if constexpr (Is565) {
        const V difference = W::subtract16(W::template shiftRight16<11>(S), W::template shiftRight16<11>(D));
        red = W::bitAnd(W::multiplyLow16(difference, k.alphaTimes8), W::splat16(0xF800));
    } else {
        const V redField = W::splat16(0x7C00);
        const V difference = W::subtract16(W::bitAnd(S, redField), W::bitAnd(D, redField));
        red = W::template shiftLeft16<10>(W::multiplyHighSigned16(W::template shiftRightSigned16<2>(difference), k.alpha));
    }
    const V greenField = W::splat16(Is565 ? 0x07E0 : 0x03E0);
    const V greenDifference = W::subtract16(W::bitAnd(S, greenField), W::bitAnd(D, greenField));
    const V green = W::template shiftLeft16<5>(W::multiplyHighSigned16(greenDifference, k.alphaTimes8));
    const V five = W::splat16(0x1F);
    const V blueDifference = W::subtract16(W::bitAnd(S, five), W::bitAnd(D, five));
    const V blue = W::template shiftRightSigned16<8>(W::multiplyLow16(blueDifference, k.alpha));
    // 555 has bit 15 outside every channel: it must come out 0.
    const V d = Is565 ? D : W::bitAnd(D, W::splat16(0x7FFF));
    return W::keepWhereSourceZero(S, D, W::add16(W::add16(d, red), W::add16(green, blue)));
}

// ---- Colour-modulated constant alpha (BlendColorAlpha) ----

// 555 and 565: the pair path of PixelFormulas.h per 16-bit lane, the destination in place. Per
// channel, with f = 4q + r and m = s' + 64 = floor((s * f + 64 * r + 64 * 256) / 256),
//     out = d + floor(t * a / 256) - floor(a / 4),  t = m - d, between 1 and 127.
// m comes either from the low product (s at bit 0) or, for green, as
// floor((s + 64) * 2^5 * f * 2^3 / 2^16) = s' + q from the channel in place, so
// t = (s' + q) - d + (64 - q). With a = 256 the step is t itself.
template <typename W>
struct PairConstants {
    typename W::V redFactor, redRound;      // f, 64 * (f mod 4) + 64 * 256
    typename W::V greenFactor, greenShift;  // f * 8, 64 - floor(f / 4)
    typename W::V blueFactor, blueRound;
    typename W::V alphaHigh;                // a * 256 (a <= 255)
    typename W::V quarterAlphas;            // floor(a / 4) at every channel's bit 0
};

template <typename W, bool Is565>
PairConstants<W> makePairConstants(const ColourAlpha& k) {
    constexpr unsigned redShift = Is565 ? 11 : 10;
    const std::uint32_t quarter = k.alpha >> 2;
    return {W::splat16(k.red),
            W::splat16(pairRoundAndBias(k.red)),
            W::splat16(k.green << 3),
            W::splat16(64u - (k.green >> 2)),
            W::splat16(k.blue),
            W::splat16(pairRoundAndBias(k.blue)),
            W::splat16(k.alpha << 8),
            W::splat16((quarter << redShift) + (quarter << 5) + quarter)};
}

template <typename W, bool FullAlpha>
typename W::V pairStep(typename W::V t, const PairConstants<W>& k) {
    return FullAlpha ? t : W::multiplyHighUnsigned16(t, k.alphaHigh);
}

// FullAlpha: a = 256 (the constants' alphaHigh is unused then).
template <typename W, bool Is565, bool FullAlpha>
typename W::V blendPairsInPlace(typename W::V S, typename W::V D, const PairConstants<W>& k) {
    using V = typename W::V;
    constexpr int redShift = Is565 ? 11 : 10;
    const V five = W::splat16(0x1F);
    // 555 has bit 15 outside every channel: it must come out 0.
    const V d = Is565 ? D : W::bitAnd(D, W::splat16(0x7FFF));
    const V sr = Is565 ? W::template shiftRight16<11>(S) : W::bitAnd(W::template shiftRight16<10>(S), five);
    const V mr = W::template shiftRight16<8>(W::add16(W::multiplyLow16(sr, k.redFactor), k.redRound));
    const V tr = W::subtract16(mr, W::template shiftRight16<redShift>(d));

    const V greenField = W::splat16(Is565 ? 0x3F : 0x1F);
    const V sg = W::bitOr(W::bitAnd(S, W::splat16(Is565 ? 0x07E0 : 0x03E0)), W::splat16(64 << 5));
    const V dg = W::bitAnd(W::template shiftRight16<5>(d), greenField);
    const V tg = W::add16(W::subtract16(W::multiplyHighUnsigned16(sg, k.greenFactor), dg), k.greenShift);

    const V mb = W::template shiftRight16<8>(W::add16(W::multiplyLow16(W::bitAnd(S, five), k.blueFactor), k.blueRound));
    const V tb = W::subtract16(mb, W::bitAnd(d, five));

    const V red = W::template shiftLeft16<redShift>(pairStep<W, FullAlpha>(tr, k));
    const V green = W::template shiftLeft16<5>(pairStep<W, FullAlpha>(tg, k));
    const V out = W::subtract16(W::add16(W::add16(d, red), W::add16(green, pairStep<W, FullAlpha>(tb, k))), k.quarterAlphas);
    return W::keepWhereSourceZero(S, D, out);
}

// Other masks, the common case: both sides share them and each is a run of at most 8 bits.
// Then the single-pixel formula of a channel at bit p equals the formula on the channel taken
// down to bit 0 and put back (floor(floor(x * 2^p) / 2^p) = floor(x), and every result stays in
// the channel), which fits 16-bit lanes: s' = floor(s * f / 256) at most 255, and
// floor((s' - d) * a / 256) is the top half of (s' - d) * 128 times 2a.
inline bool isNarrowRun(std::uint32_t mask) {
    const std::uint32_t run = mask >> lowestSetBit(mask);
    return run < 256 && (run & (run + 1)) == 0;
}

inline bool hasNarrowChannels(const BlendLayout& layout) {
    const ChannelMasks16& s = layout.source;
    const ChannelMasks16& d = layout.destination;
    return s.red == d.red && s.green == d.green && s.blue == d.blue && isNarrowRun(d.red) &&
           isNarrowRun(d.green) && isNarrowRun(d.blue);
}

template <typename W>
struct NarrowLanes {
    typename W::V mask[3];
    __m128i shift[3];
    typename W::V factor[3];
    typename W::V alphaTimes2;
};

template <typename W>
NarrowLanes<W> makeNarrowLanes(const ChannelMasks16& masks, const ColourAlpha& k) {
    const std::uint32_t channelMasks[3] = {masks.red, masks.green, masks.blue};
    const std::uint32_t factors[3] = {k.red, k.green, k.blue};
    NarrowLanes<W> lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = W::splat16(channelMasks[c]);
        lanes.shift[c] = W::count(lowestSetBit(channelMasks[c]));
        lanes.factor[c] = W::splat16(factors[c]);
    }
    lanes.alphaTimes2 = W::splat16(k.alpha * 2);
    return lanes;
}

template <typename W>
typename W::V narrowChannel(typename W::V s, typename W::V d, int c, const NarrowLanes<W>& lanes) {
    using V = typename W::V;
    const V sc = W::shiftRight16(W::bitAnd(s, lanes.mask[c]), lanes.shift[c]);
    const V dc = W::shiftRight16(W::bitAnd(d, lanes.mask[c]), lanes.shift[c]);
    const V modulated = W::template shiftRight16<8>(W::multiplyLow16(sc, lanes.factor[c]));
    const V step = W::multiplyHighSigned16(W::template shiftLeft16<7>(W::subtract16(modulated, dc)), lanes.alphaTimes2);
    return W::shiftLeft16(W::add16(dc, step), lanes.shift[c]);
}

template <typename W>
typename W::V blendNarrowLanes(typename W::V s, typename W::V d, const NarrowLanes<W>& lanes) {
    const typename W::V out =
        W::bitOr(W::bitOr(narrowChannel<W>(s, d, 0, lanes), narrowChannel<W>(s, d, 1, lanes)), narrowChannel<W>(s, d, 2, lanes));
    return W::keepWhereSourceZero(s, d, out);
}

// Other masks, any: the single-pixel formula of one channel at its own bit position in every
// 16-bit lane, on 128-bit registers at every level:
//   s' = (floor((s AND source mask) * f / 256)) AND source mask, dc = d AND destination mask,
//   out = (floor((s' - dc) * a / 256) + dc) AND destination mask.
// Only the low 16 bits of out matter. With v = s' - dc taken modulo 2^16, floor(v * a / 256)
// is floor(v16 * a / 256) when s' >= dc, and 256 * a less when the difference is negative.
struct MaskedLanes {
    __m128i sourceMask[3];
    __m128i destinationMask[3];
    __m128i factor[3];
    __m128i alpha;
    __m128i alphaTimes256;
};

// floor(v * m / 256) modulo 2^16 for unsigned 16-bit v and m <= 256.
inline __m128i unsignedProductDiv256(__m128i v, __m128i m) {
    return _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epu16(v, m), 8), _mm_srli_epi16(_mm_mullo_epi16(v, m), 8));
}

inline __m128i maskedChannel(__m128i s, __m128i d, int c, const MaskedLanes& lanes) {
    const __m128i modulated =
        _mm_and_si128(unsignedProductDiv256(_mm_and_si128(s, lanes.sourceMask[c]), lanes.factor[c]), lanes.sourceMask[c]);
    const __m128i dc = _mm_and_si128(d, lanes.destinationMask[c]);
    const __m128i negative = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(dc, modulated), _mm_setzero_si128()),
                                           _mm_set1_epi16(-1));
    const __m128i moved = _mm_sub_epi16(unsignedProductDiv256(_mm_sub_epi16(modulated, dc), lanes.alpha),
                                        _mm_and_si128(negative, lanes.alphaTimes256));
    return _mm_and_si128(_mm_add_epi16(moved, dc), lanes.destinationMask[c]);
}

inline __m128i blendMaskedLanes(__m128i s, __m128i d, const MaskedLanes& lanes) {
    const __m128i out = _mm_or_si128(_mm_or_si128(maskedChannel(s, d, 0, lanes), maskedChannel(s, d, 1, lanes)),
                                     maskedChannel(s, d, 2, lanes));
    return Vec128::keepWhereSourceZero(s, d, out);
}

inline MaskedLanes makeMaskedLanes(const BlendLayout& layout, const ColourAlpha& k) {
    const std::uint32_t sourceMasks[3] = {layout.source.red, layout.source.green, layout.source.blue};
    const std::uint32_t destinationMasks[3] = {layout.destination.red, layout.destination.green,
                                               layout.destination.blue};
    const std::uint32_t factors[3] = {k.red, k.green, k.blue};
    MaskedLanes lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.sourceMask[c] = _mm_set1_epi16(static_cast<short>(sourceMasks[c]));
        lanes.destinationMask[c] = _mm_set1_epi16(static_cast<short>(destinationMasks[c]));
        lanes.factor[c] = _mm_set1_epi16(static_cast<short>(factors[c]));
    }
    lanes.alpha = _mm_set1_epi16(static_cast<short>(k.alpha));
    lanes.alphaTimes256 = _mm_set1_epi16(static_cast<short>((k.alpha << 8) & 0xFFFFu));
    return lanes;
}

// ---- Other masks with their channels placed: both operations ----
// The layouts whose channels sit where the in-place formulas hold: every channel a run of at
// most 7 bits, none overlapping, the lowest at bit 0 and the two others starting at bit 2 or
// above and ending below bit 15 (4-4-4, or 5-5-5 either way round). Channel 0 is the lowest.
struct PlacedChannel {
    std::uint32_t mask;
    unsigned shift;
    std::uint32_t factor;
};

struct PlacedChannels {
    PlacedChannel channel[3];
    std::uint32_t allMasks;
    bool above8;  // a channel starts above bit 8
};

inline bool isRunOfAtMost7Bits(std::uint32_t mask) {
    const std::uint32_t run = mask >> lowestSetBit(mask);
    return mask != 0 && run < 128 && (run & (run + 1)) == 0;
}

// The factors matter only to the colour-modulated formula.
inline bool placeChannels(const ChannelMasks16& masks, std::uint32_t redFactor, std::uint32_t greenFactor,
                          std::uint32_t blueFactor, PlacedChannels& placed) {
    PlacedChannel c[3] = {{masks.red, lowestSetBit(masks.red), redFactor},
                          {masks.green, lowestSetBit(masks.green), greenFactor},
                          {masks.blue, lowestSetBit(masks.blue), blueFactor}};
    for (int i = 0; i < 3; ++i)
        if (!isRunOfAtMost7Bits(c[i].mask)) return false;
    if ((c[0].mask & c[1].mask) != 0 || (c[0].mask & c[2].mask) != 0 || (c[1].mask & c[2].mask) != 0) return false;
    for (int i = 0; i < 3; ++i)
        if (c[i].shift == 0) std::swap(c[0], c[i]);
    if (c[0].shift != 0) return false;
    for (int i = 1; i < 3; ++i)
        if (c[i].shift < 2 || c[i].mask > 0x7FFFu) return false;
    placed = {{c[0], c[1], c[2]}, masks.red | masks.green | masks.blue, c[1].shift > 8 || c[2].shift > 8};
    return true;
}

// The step of each channel, floor((x - d) * a / 256), from v = (x - d) * 2^p as a signed
// lane: at bit 0 the low product (|v| * a < 2^15) shifted arithmetically by 8; at p = 2..8 the
// signed high product with a * 2^(8 - p) (at most 2^14), which is floor(v * a / 256) at bit 0,
// then shifted back to p; above bit 8, v * 2^p first shifted arithmetically down to v * 2^8
// (exact: its low p bits are 0). The destination's channels are added in place once.
template <typename W>
struct PlacedConstants {
    typename W::V mask[3];
    typename W::V factorHigh[3];   // f * 256 (colour-modulated)
    typename W::V alpha;           // a, for the channel at bit 0
    typename W::V alphaScaled[2];  // a * 2^(8 - p) for channels 1 and 2
    __m128i shift[2];
    __m128i shiftAbove8[2];  // p - 8, or 0
    typename W::V allMasks;
};

template <typename W>
PlacedConstants<W> makePlacedConstants(const PlacedChannels& placed, std::uint32_t a) {
    PlacedConstants<W> k;
    for (int i = 0; i < 3; ++i) {
        k.mask[i] = W::splat16(placed.channel[i].mask);
        k.factorHigh[i] = W::splat16(placed.channel[i].factor << 8);
    }
    k.alpha = W::splat16(a);
    for (int i = 0; i < 2; ++i) {
        const unsigned p = placed.channel[i + 1].shift;
        k.alphaScaled[i] = W::splat16(p > 8 ? a : a << (8 - p));
        k.shift[i] = W::count(p);
        k.shiftAbove8[i] = W::count(p > 8 ? p - 8 : 0);
    }
    k.allMasks = W::splat16(placed.allMasks);
    return k;
}

// Modulated: s' = floor(s * f / 256) in place (colour-modulated, the single-pixel formula);
// otherwise the source channel itself (constant alpha, the MMX group formula, both sides by
// the destination's masks). Returns (x - d) * 2^p.
template <typename W, bool Modulated, int Channel>
typename W::V placedDifference(typename W::V S, typename W::V D, const PlacedConstants<W>& k) {
    typename W::V x = W::bitAnd(S, k.mask[Channel]);
    if constexpr (Modulated) {
        x = W::multiplyHighUnsigned16(x, k.factorHigh[Channel]);
        // At bit 0 the product has no fraction bits to drop.
        if constexpr (Channel != 0) x = W::bitAnd(x, k.mask[Channel]);
    }
    return W::subtract16(x, W::bitAnd(D, k.mask[Channel]));
}

// Above8: placed.above8 (the shift down costs a step, so only those layouts take it).
template <typename W, bool Modulated, bool Above8, int Channel>
typename W::V placedStep(typename W::V S, typename W::V D, const PlacedConstants<W>& k) {
    typename W::V v = placedDifference<W, Modulated, Channel>(S, D, k);
    if constexpr (Above8) v = W::shiftRightSigned16(v, k.shiftAbove8[Channel - 1]);
    return W::shiftLeft16(W::multiplyHighSigned16(v, k.alphaScaled[Channel - 1]), k.shift[Channel - 1]);
}

template <typename W, bool Modulated, bool Above8>
typename W::V blendPlacedChannels(typename W::V S, typename W::V D, const PlacedConstants<W>& k) {
    using V = typename W::V;
    const V low = W::template shiftRightSigned16<8>(W::multiplyLow16(placedDifference<W, Modulated, 0>(S, D, k), k.alpha));
    const V middle = placedStep<W, Modulated, Above8, 1>(S, D, k);
    const V high = placedStep<W, Modulated, Above8, 2>(S, D, k);
    const V out = W::add16(W::add16(W::bitAnd(D, k.allMasks), low), W::add16(middle, high));
    return W::keepWhereSourceZero(S, D, out);
}

// run(std::true_type) when a channel starts above bit 8, run(std::false_type) otherwise: the
// Above8 argument of blendPlacedChannels as a type.
template <typename Run>
void withPlacedShape(const PlacedChannels& placed, Run run) {
    if (placed.above8)
        run(std::true_type{});
    else
        run(std::false_type{});
}

// ---- 50 % average in lanes (BlendHalfMMX) ----

// ((D AND K) >> 1) + ((S AND K) >> 1) in each 16-bit lane, K clearing the lowest bit of every
// channel; lanes whose source is 0 keep the destination.
template <typename W>
typename W::V average16(typename W::V s, typename W::V d, typename W::V K) {
    const typename W::V avg =
        W::add16(W::template shiftRight16<1>(W::bitAnd(d, K)), W::template shiftRight16<1>(W::bitAnd(s, K)));
    return W::keepWhereSourceZero(s, d, avg);
}

// Pixels first..width-1 of a 16-bit row on 128-bit registers: the whole row for the SSE2
// twin, what is left after the wide steps for the AVX2 twin. first is a multiple of 4; k
// clears the lowest bit of every channel. The pixels the MMX kernel does one at a time get the
// same scalar formula.
inline void averageRow16From(const std::uint8_t* source, std::uint8_t* destination, int first, int width,
                             std::uint32_t k) {
    using W = Vec128;
    const __m128i K = W::splat16(k);
    const int grouped = width / 4 * 4;
    int i = first;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i s = W::load(source + 2 * i);
        if (W::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        W::store(d, average16<W>(s, W::load(d), K));
    }
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        W::storeLow(d, average16<W>(W::loadLow(source + 2 * i), W::loadLow(d), K));
        i = grouped;
    }
    const std::uint32_t k1 = k >> 1;
    for (; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, ((s >> 1) & k1) + ((load16(d) >> 1) & k1));
    }
}

#if defined(__AVX2__)
// ---- Rows on 256-bit registers ----

// The wide part of a 16-bit row: sixteen pixels a step while they fit (steps whose source
// pixels are all 0 are skipped), then one step of eight. wideLanes(s, d) and lanes(s, d) blend
// sixteen and eight pixels; only the first `limit` pixels of the row are touched. Returns how
// many were done, a multiple of 8.
template <typename WideLanes, typename Lanes>
inline int blendSixteenThenEight16(const std::uint8_t* source, std::uint8_t* destination, int limit,
                                   WideLanes wideLanes, Lanes lanes) {
    int i = 0;
    for (; i + 16 <= limit; i += 16) {
        const __m256i s = Vec256::load(source + 2 * i);
        if (Vec256::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        Vec256::store(d, wideLanes(s, Vec256::load(d)));
    }
    if (i + 8 <= limit) {
        std::uint8_t* d = destination + 2 * i;
        Vec128::store(d, lanes(Vec128::load(source + 2 * i), Vec128::load(d)));
        i += 8;
    }
    return i;
}

// Colour-modulated rows of other masks, sixteen pixels per register: the whole of the AVX2
// twin's, and the AVX-512 twin's for the layouts its word tables do not fit.

// Sixteen, then eight pixels of every row by wideLanes(s, d) and lanes(s, d), the rest one at a
// time.
template <typename WideLanes, typename Lanes>
void colourModulatedNarrowRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k,
                               WideLanes wideLanes, Lanes lanes) {
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        int i = blendSixteenThenEight16(source, destination, width, wideLanes, lanes);
        for (; i < width; ++i)
            blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
    });
}

// Channels placed: by the multiplications of the in-place formulas.
inline void colourModulatedPlacedRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k,
                                      const PlacedChannels& placed) {
    const PlacedConstants<Vec256> wide = makePlacedConstants<Vec256>(placed, k.alpha);
    const PlacedConstants<Vec128> lanes = makePlacedConstants<Vec128>(placed, k.alpha);
    withPlacedShape(placed, [&](auto above8) {
        colourModulatedNarrowRows(
            area, layout, k,
            [&](__m256i s, __m256i d) { return blendPlacedChannels<Vec256, true, decltype(above8)::value>(s, d, wide); },
            [&](__m128i s, __m128i d) { return blendPlacedChannels<Vec128, true, decltype(above8)::value>(s, d, lanes); });
    });
}

// Narrow channels elsewhere: channel by channel.
inline void colourModulatedNarrowChannelRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k) {
    const NarrowLanes<Vec256> wide = makeNarrowLanes<Vec256>(layout.destination, k);
    const NarrowLanes<Vec128> lanes = makeNarrowLanes<Vec128>(layout.destination, k);
    colourModulatedNarrowRows(
        area, layout, k, [&](__m256i s, __m256i d) { return blendNarrowLanes<Vec256>(s, d, wide); },
        [&](__m128i s, __m128i d) { return blendNarrowLanes<Vec128>(s, d, lanes); });
}

// Masks that differ between the sides, or wider channels: eight pixels by the masked lanes.
inline void colourModulatedMaskedRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k) {
    const MaskedLanes lanes = makeMaskedLanes(layout, k);
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        int i = 0;
        for (; i + 8 <= width; i += 8) {
            const __m128i s = Vec128::load(source + 2 * i);
            if (Vec128::allZero(s)) continue;
            std::uint8_t* d = destination + 2 * i;
            Vec128::store(d, blendMaskedLanes(s, Vec128::load(d), lanes));
        }
        for (; i < width; ++i)
            blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
    });
}
#endif

}  // namespace
}  // namespace ZelUISystem::blend
