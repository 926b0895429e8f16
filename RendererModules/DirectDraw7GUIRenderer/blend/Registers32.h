#pragma once
// 32-bit pixels in vector registers: the lane formulas of the three operations, each written
// once for a register width W (Vec128 or Vec256, Registers.h), shared by the 32-bit twins
// (*32_sse2.cpp, *32_avx2.cpp). Pixels a twin does one at a time take the reference's own
// formulas (PixelFormulas.h).
//
// Constant alpha and colour-modulated work on each byte in place, without widening: each 16-bit
// lane holds an even byte (blue or red) low and an odd byte (green or the top byte) high, and
//   floor(x * m / 256) = the top half of (x << 8) * m         for the even byte x,
//                      = the top half of (x AND 0xFF00) * m   for the odd byte,
// exactly, for every m up to 256. Multiplier lanes hold one value per byte of a pixel (blue,
// green, red, top byte); evenWords and oddWords pick those of the even and the odd bytes, within
// each 128-bit half, as the broadcast lanes need.

#if !defined(__SSE2__)
#error "Registers32.h holds SSE2 code: include it only from files built with SSE2 (or wider) flags"
#endif

#include <cstdint>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {
namespace {

// All ones in every pixel whose blue, green and red are 0.
template <typename W>
typename W::V transparent32(typename W::V s) {
    return W::isZero32(W::bitAnd(s, W::splat32(0x00FFFFFF)));
}

// ---- Constant alpha (BlendAlphaMMX) ----

// floor(x * m / 256) for every byte x, each back in its own byte.
template <typename W>
typename W::V bytewiseProducts(typename W::V x, typename W::V evenMultiplier, typename W::V oddMultiplier) {
    const typename W::V even = W::multiplyHighUnsigned16(W::template shiftLeft16<8>(x), evenMultiplier);
    const typename W::V odd = W::multiplyHighUnsigned16(W::bitAnd(x, W::splat16(0xFF00)), oddMultiplier);
    return W::bitOr(even, W::template shiftLeft16<8>(odd));
}

// The MMX kernel's pair formula, d + floor(s*a/256) - floor(d*a/256) per byte, with alpha lanes
// a, a, a, 0 per pixel: the top byte keeps its value. The result always lies in 0..255
// (floor(d*a/256) <= d, and floor(s*a/256) + d - floor(d*a/256) <= 255), so byte arithmetic that
// wraps gives it exactly: the same bytes as the MMX kernel's widened lanes and saturating pack.
template <typename W>
typename W::V blendPairs32(typename W::V s, typename W::V d, typename W::V alpha) {
    const typename W::V even = W::evenWords(alpha);
    const typename W::V odd = W::oddWords(alpha);
    const typename W::V blended =
        W::subtractBytes(W::addBytes(d, bytewiseProducts<W>(s, even, odd)), bytewiseProducts<W>(d, even, odd));
    return W::select(transparent32<W>(s), d, blended);
}

// ---- Colour-modulated constant alpha (BlendColorAlpha) ----

// floor(v * a / 256) for |v| <= 255 and a <= 256: the top half of the signed product of
// v * 128 (which fits a lane) and 2a is floor(v * 256 * a / 65536).
template <typename W>
typename W::V productDiv256(typename W::V v, typename W::V alphaTimes2) {
    return W::multiplyHighSigned16(W::template shiftLeft16<7>(v), alphaTimes2);
}

// The single-pixel formula on each byte in place:
//   s' = floor(s * f / 256): the top half of (s << 8) * f for the even byte, of
//        (s AND 0xFF00) * f for the odd one (the top byte's factor is 0, so s' is 0 there);
//   out = d + floor((s' - d) * a / 256) on each byte taken down to a lane of its own. The top
// byte's lane takes a = 256, which gives out = s' = 0 there, the 0 the formula's top byte needs.
// factor: blue, green, red, 0 for every pixel; alphaTimes2: 2a in every lane.
template <typename W>
typename W::V blendSingles32(typename W::V s, typename W::V d, typename W::V factor, typename W::V alphaTimes2) {
    using V = typename W::V;
    const V oddAlphaTimes2 = W::bitOr(W::bitAnd(alphaTimes2, W::splat32(0xFFFF)), W::splat32(512 << 16));
    const V lowByte = W::splat16(0x00FF);
    const V sEven = W::multiplyHighUnsigned16(W::template shiftLeft16<8>(s), W::evenWords(factor));
    const V sOdd = W::multiplyHighUnsigned16(W::bitAndNot(lowByte, s), W::oddWords(factor));
    const V dEven = W::bitAnd(d, lowByte);
    const V dOdd = W::template shiftRight16<8>(d);
    const V even = W::add16(dEven, productDiv256<W>(W::subtract16(sEven, dEven), alphaTimes2));
    const V odd = W::add16(dOdd, productDiv256<W>(W::subtract16(sOdd, dOdd), oddAlphaTimes2));
    return W::select(transparent32<W>(s), d, W::bitOr(even, W::template shiftLeft16<8>(odd)));
}

// ---- 50 % average in lanes (BlendHalfMMX) ----

// ((D >> 1) AND 0x7F7F7F) + (((S AND 0xFFFFFF) >> 1) AND 0x7F7F7F) in each 32-bit lane, the top
// byte 0; lanes whose source blue, green and red are 0 keep the destination.
template <typename W>
typename W::V average32(typename W::V s, typename W::V d) {
    using V = typename W::V;
    const V bgr = W::bitAnd(s, W::splat32(0x00FFFFFF));
    const V halved = W::splat32(0x007F7F7F);
    const V avg = W::add32(W::bitAnd(W::template shiftRight32<1>(d), halved),
                           W::bitAnd(W::template shiftRight32<1>(bgr), halved));
    return W::select(W::isZero32(bgr), d, avg);
}

// Pixels first..width-1 of a 32-bit row on 128-bit registers: the whole row for the SSE2
// twin, what is left after the wide steps for the AVX2 twin.
inline void averageRow32From(const std::uint8_t* source, std::uint8_t* destination, int first, int width) {
    using W = Vec128;
    int i = first;
    for (; i + 4 <= width; i += 4) {
        std::uint8_t* d = destination + 4 * i;
        W::store(d, average32<W>(W::load(source + 4 * i), W::load(d)));
    }
    if (i + 2 <= width) {
        std::uint8_t* d = destination + 4 * i;
        W::storeLow(d, average32<W>(W::loadLow(source + 4 * i), W::loadLow(d)));
        i += 2;
    }
    if (i == width) return;
    const std::uint32_t s = load32(source + 4 * i);
    if ((s & 0x00FFFFFFu) == 0) return;
    std::uint8_t* d = destination + 4 * i;
    store32(d, averageBgr(s, load32(d)));
}

}  // namespace
}  // namespace ZelUISystem::blend
