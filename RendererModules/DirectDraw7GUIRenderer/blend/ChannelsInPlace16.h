#pragma once
// The 16-bit blend formulas with the destination kept where it lies: every channel's result is
// d + step with d between 0 and the channel's field, so the packed result is
//     (D AND the channel masks) + sum over the channels of step * 2^p - constant
// in 16-bit arithmetic (each term is exact modulo 2^16 and the channels do not overlap). Only
// the steps need the channels apart; the destination is never put back together. Written once
// for 128- and 256-bit registers: the arithmetic by the overloads of VectorOps128.h and
// VectorOps256.h, the register type and its constants by LaneOps (LaneOps16.h, LaneOps16Wide.h).
// AVX2 units include LaneOps16Wide.h first, since the templates here see only the overloads
// declared before them.
//
// Products by the unsigned high multiplication give a floor directly: for x < 2^16 and
// m <= 255, mulhi(x, m * 256) = floor(x * m / 256), and for a channel at bit p,
// mulhi(s * 2^p, f * 256) = floor(s * f * 2^p / 256), whose bits from p up are floor(s * f / 256).

#include <emmintrin.h>

#include <cstdint>
#include <type_traits>
#include <utility>

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/VectorOps128.h"

namespace ZelUISystem::blend {
namespace {

// Colour-modulated 555 and 565: the pair path of ColorAlphaPixel.h per 16-bit lane. Per
// channel, with f = 4q + r and m = s' + 64 = floor((s * f + 64 * r + 64 * 256) / 256),
//     out = d + floor(t * a / 256) - floor(a / 4),  t = m - d, between 1 and 127.
// m comes either from the low product (s at bit 0) or, for green, as
// floor((s + 64) * 2^5 * f * 2^3 / 2^16) = s' + q from the channel in place, so
// t = (s' + q) - d + (64 - q). With a = 256 the step is t itself.
template <typename Ops>
struct PairConstants {
    typename Ops::V redFactor, redRound;      // f, 64 * (f mod 4) + 64 * 256
    typename Ops::V greenFactor, greenShift;  // f * 8, 64 - floor(f / 4)
    typename Ops::V blueFactor, blueRound;
    typename Ops::V alphaHigh;                // a * 256 (a <= 255)
    typename Ops::V quarterAlphas;            // floor(a / 4) at every channel's bit 0
};

template <typename Ops, bool Is565>
PairConstants<Ops> makePairConstants(const ColourAlpha& k) {
    constexpr unsigned redShift = Is565 ? 11 : 10;
    const std::uint32_t quarter = k.alpha >> 2;
    return {Ops::set1(k.red),
            Ops::set1(pairRoundAndBias(k.red)),
            Ops::set1(k.green << 3),
            Ops::set1(64u - (k.green >> 2)),
            Ops::set1(k.blue),
            Ops::set1(pairRoundAndBias(k.blue)),
            Ops::set1(k.alpha << 8),
            Ops::set1((quarter << redShift) + (quarter << 5) + quarter)};
}

template <typename Ops, bool FullAlpha>
typename Ops::V pairStep(typename Ops::V t, const PairConstants<Ops>& k) {
    return FullAlpha ? t : multiplyHighUnsigned16(t, k.alphaHigh);
}

// FullAlpha: a = 256 (the constants' alphaHigh is unused then).
template <typename Ops, bool Is565, bool FullAlpha>
typename Ops::V blendPairsInPlace(typename Ops::V S, typename Ops::V D, const PairConstants<Ops>& k) {
    using O = Ops;
    constexpr int redShift = Is565 ? 11 : 10;
    const typename O::V five = O::set1(0x1F);
    // 555 has bit 15 outside every channel: it must come out 0.
    const typename O::V d = Is565 ? D : bitAnd(D, O::set1(0x7FFF));
    const typename O::V sr = Is565 ? shiftRight16<11>(S) : bitAnd(shiftRight16<10>(S), five);
    const typename O::V mr = shiftRight16<8>(add16(multiplyLow16(sr, k.redFactor), k.redRound));
    const typename O::V tr = subtract16(mr, shiftRight16<redShift>(d));

    const typename O::V greenField = O::set1(Is565 ? 0x3F : 0x1F);
    const typename O::V sg = bitOr(bitAnd(S, O::set1(Is565 ? 0x07E0 : 0x03E0)), O::set1(64 << 5));
    const typename O::V dg = bitAnd(shiftRight16<5>(d), greenField);
    const typename O::V tg = add16(subtract16(multiplyHighUnsigned16(sg, k.greenFactor), dg), k.greenShift);

    const typename O::V mb = shiftRight16<8>(add16(multiplyLow16(bitAnd(S, five), k.blueFactor), k.blueRound));
    const typename O::V tb = subtract16(mb, bitAnd(d, five));

    const typename O::V red = shiftLeft16<redShift>(pairStep<O, FullAlpha>(tr, k));
    const typename O::V green = shiftLeft16<5>(pairStep<O, FullAlpha>(tg, k));
    const typename O::V out =
        subtract16(add16(add16(d, red), add16(green, pairStep<O, FullAlpha>(tb, k))), k.quarterAlphas);
    return O::keepWhereSourceZero(S, D, out);
}

// Constant alpha on 555 and 565 (the MMX group formula, out = d + floor((s - d) * a / 256) per
// channel, the destination in place): blue by the low product shifted arithmetically by 8;
// green from (s - d) * 32 in place, whose signed high product with 8a is the step. Red of 565
// from s - d at bit 0, whose low product with 8a holds the step from bit 11 up (modulo 2^16,
// which is all the sum keeps); red of 555 from (s - d) * 2^10 in place, shifted arithmetically
// down to (s - d) * 256, whose signed high product with a is the step.
template <typename Ops>
struct FixedAlphaConstants {
    typename Ops::V alpha, alphaTimes8;
};

template <typename Ops>
FixedAlphaConstants<Ops> makeFixedAlphaConstants(std::uint32_t a) {
    return {Ops::set1(a), Ops::set1(a * 8)};
}

template <typename Ops, bool Is565>
typename Ops::V blendFixedAlphaInPlace(typename Ops::V S, typename Ops::V D, const FixedAlphaConstants<Ops>& k) {
    using O = Ops;
    typename O::V red;
    if constexpr (Is565) {
        const typename O::V difference = subtract16(shiftRight16<11>(S), shiftRight16<11>(D));
        red = bitAnd(multiplyLow16(difference, k.alphaTimes8), O::set1(0xF800));
    } else {
        const typename O::V redField = O::set1(0x7C00);
        const typename O::V difference = subtract16(bitAnd(S, redField), bitAnd(D, redField));
        red = shiftLeft16<10>(multiplyHighSigned16(shiftRightSigned16<2>(difference), k.alpha));
    }
    const typename O::V greenField = O::set1(Is565 ? 0x07E0 : 0x03E0);
    const typename O::V greenDifference = subtract16(bitAnd(S, greenField), bitAnd(D, greenField));
    const typename O::V green = shiftLeft16<5>(multiplyHighSigned16(greenDifference, k.alphaTimes8));
    const typename O::V five = O::set1(0x1F);
    const typename O::V blueDifference = subtract16(bitAnd(S, five), bitAnd(D, five));
    const typename O::V blue = shiftRightSigned16<8>(multiplyLow16(blueDifference, k.alpha));
    // 555 has bit 15 outside every channel: it must come out 0.
    const typename O::V d = Is565 ? D : bitAnd(D, O::set1(0x7FFF));
    return O::keepWhereSourceZero(S, D, add16(add16(d, red), add16(green, blue)));
}

// Other masks, the layouts whose channels sit where these formulas hold: every channel a run
// of at most 7 bits, none overlapping, the lowest at bit 0 and the two others starting at bit 2
// or above and ending below bit 15 (4-4-4, or 5-5-5 either way round). Channel 0 is the lowest.
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
template <typename Ops>
struct PlacedConstants {
    typename Ops::V mask[3];
    typename Ops::V factorHigh[3];  // f * 256 (colour-modulated)
    typename Ops::V alpha;          // a, for the channel at bit 0
    typename Ops::V alphaScaled[2];  // a * 2^(8 - p) for channels 1 and 2
    __m128i shift[2];
    __m128i shiftAbove8[2];  // p - 8, or 0
    typename Ops::V allMasks;
};

template <typename Ops>
PlacedConstants<Ops> makePlacedConstants(const PlacedChannels& placed, std::uint32_t a) {
    PlacedConstants<Ops> k;
    for (int i = 0; i < 3; ++i) {
        k.mask[i] = Ops::set1(placed.channel[i].mask);
        k.factorHigh[i] = Ops::set1(placed.channel[i].factor << 8);
    }
    k.alpha = Ops::set1(a);
    for (int i = 0; i < 2; ++i) {
        const unsigned p = placed.channel[i + 1].shift;
        k.alphaScaled[i] = Ops::set1(p > 8 ? a : a << (8 - p));
        k.shift[i] = Ops::count(p);
        k.shiftAbove8[i] = Ops::count(p > 8 ? p - 8 : 0);
    }
    k.allMasks = Ops::set1(placed.allMasks);
    return k;
}

// Modulated: s' = floor(s * f / 256) in place (colour-modulated, ColorAlphaPixel.h's single-
// pixel formula); otherwise the source channel itself (constant alpha, AlphaPixel.h and the
// MMX group formula, both sides by the destination's masks). Returns (x - d) * 2^p.
template <typename Ops, bool Modulated, int Channel>
typename Ops::V placedDifference(typename Ops::V S, typename Ops::V D, const PlacedConstants<Ops>& k) {
    typename Ops::V x = bitAnd(S, k.mask[Channel]);
    if constexpr (Modulated) {
        x = multiplyHighUnsigned16(x, k.factorHigh[Channel]);
        // At bit 0 the product has no fraction bits to drop.
        if constexpr (Channel != 0) x = bitAnd(x, k.mask[Channel]);
    }
    return subtract16(x, bitAnd(D, k.mask[Channel]));
}

// Above8: placed.above8 (the shift down costs a step, so only those layouts take it).
template <typename Ops, bool Modulated, bool Above8, int Channel>
typename Ops::V placedStep(typename Ops::V S, typename Ops::V D, const PlacedConstants<Ops>& k) {
    typename Ops::V v = placedDifference<Ops, Modulated, Channel>(S, D, k);
    if constexpr (Above8) v = shiftRightSigned16(v, k.shiftAbove8[Channel - 1]);
    return shiftLeft16(multiplyHighSigned16(v, k.alphaScaled[Channel - 1]), k.shift[Channel - 1]);
}

template <typename Ops, bool Modulated, bool Above8>
typename Ops::V blendPlacedChannels(typename Ops::V S, typename Ops::V D, const PlacedConstants<Ops>& k) {
    using O = Ops;
    const typename O::V low =
        shiftRightSigned16<8>(multiplyLow16(placedDifference<O, Modulated, 0>(S, D, k), k.alpha));
    const typename O::V middle = placedStep<O, Modulated, Above8, 1>(S, D, k);
    const typename O::V high = placedStep<O, Modulated, Above8, 2>(S, D, k);
    const typename O::V out = add16(add16(bitAnd(D, k.allMasks), low), add16(middle, high));
    return O::keepWhereSourceZero(S, D, out);
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

}  // namespace
}  // namespace ZelUISystem::blend
