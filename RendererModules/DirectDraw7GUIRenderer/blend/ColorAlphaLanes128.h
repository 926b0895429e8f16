#pragma once
// The lane arithmetic of the colour-modulated kernel on 128-bit registers, shared by its SSE2
// and AVX2 twins. Include only from files built with SSE2 (or wider) flags.
//
// 555 and 565: each half of a pixel pair is an independent 16-bit computation
// (ColorAlphaPixel.h), so one 16-bit lane per pixel gives exactly the pair path.
// 32-bit: the single-pixel formula on bytes widened to 16-bit lanes.

#include <emmintrin.h>

#include <cstdint>

#include "blend/ColorAlphaPixel.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

struct PairLanes {
    __m128i factor[3];        // red, green, blue
    __m128i roundAndBias[3];  // 64 * (f mod 4) + 64 * 256
    __m128i alpha;
    __m128i alphaQuarter;
};

inline PairLanes makePairLanes(const ColorAlpha& k) {
    const std::uint32_t factors[3] = {k.red, k.green, k.blue};
    PairLanes lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.factor[c] = _mm_set1_epi16(static_cast<short>(factors[c]));
        lanes.roundAndBias[c] = _mm_set1_epi16(static_cast<short>(pairRoundAndBias(factors[c])));
    }
    lanes.alpha = _mm_set1_epi16(static_cast<short>(k.alpha));
    lanes.alphaQuarter = _mm_set1_epi16(static_cast<short>(k.alpha >> 2));
    return lanes;
}

// One channel of the pair path per 16-bit lane, in the shorter form of ColorAlphaPixel.h
// (modulatedPlus64): s' + 64 = floor((s * f + roundAndBias) / 256), then
// out = floor((s' + 64 - d) * a / 256) - floor(a / 4) + d. Every value stays below 2^15.
inline __m128i pairChannel(__m128i s, __m128i d, __m128i factor, __m128i roundAndBias, const PairLanes& lanes) {
    const __m128i modulatedPlus64 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, factor), roundAndBias), 8);
    const __m128i moved = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(modulatedPlus64, d), lanes.alpha), 8);
    return _mm_add_epi16(_mm_sub_epi16(moved, lanes.alphaQuarter), d);
}

template <bool Is565>
inline __m128i blendPairLanes(__m128i s, __m128i d, const PairLanes& lanes) {
    constexpr int redShift = Is565 ? 11 : 10;
    const __m128i five = _mm_set1_epi16(0x1F);
    const __m128i greenField = _mm_set1_epi16(Is565 ? 0x3F : 0x1F);
    // 565 red fills the top of the lane; 555 has bit 15 above it to drop.
    const __m128i sr = Is565 ? _mm_srli_epi16(s, 11) : _mm_and_si128(_mm_srli_epi16(s, 10), five);
    const __m128i dr = Is565 ? _mm_srli_epi16(d, 11) : _mm_and_si128(_mm_srli_epi16(d, 10), five);
    const __m128i red = pairChannel(sr, dr, lanes.factor[0], lanes.roundAndBias[0], lanes);
    const __m128i green = pairChannel(_mm_and_si128(_mm_srli_epi16(s, 5), greenField),
                                      _mm_and_si128(_mm_srli_epi16(d, 5), greenField), lanes.factor[1],
                                      lanes.roundAndBias[1], lanes);
    const __m128i blue = pairChannel(_mm_and_si128(s, five), _mm_and_si128(d, five), lanes.factor[2],
                                     lanes.roundAndBias[2], lanes);
    const __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(red, redShift), _mm_slli_epi16(green, 5)), blue);
    return selectLanes(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, out);
}

struct SingleLanes {
    __m128i factor;  // blue, green, red, 0 for each of two pixels
    __m128i alpha;
};

// floor(p / 256) of the signed 32-bit product p = v * a, from its low and high 16 bits; the
// result fits a lane because |v| <= 255 and a <= 256.
inline __m128i productDiv256(__m128i v, __m128i a) {
    const __m128i low = _mm_mullo_epi16(v, a);
    const __m128i high = _mm_mulhi_epi16(v, a);
    return _mm_or_si128(_mm_slli_epi16(high, 8), _mm_srli_epi16(low, 8));
}

// s' = floor(s * f / 256), out = d + floor((s' - d) * a / 256) on widened bytes.
inline __m128i blendWidenedSingle(__m128i s, __m128i d, const SingleLanes& lanes) {
    const __m128i modulated = _mm_srli_epi16(_mm_mullo_epi16(s, lanes.factor), 8);
    return _mm_add_epi16(d, productDiv256(_mm_sub_epi16(modulated, d), lanes.alpha));
}

inline __m128i blendSingles32(__m128i s, __m128i d, const SingleLanes& lanes) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = blendWidenedSingle(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), lanes);
    const __m128i high = blendWidenedSingle(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), lanes);
    const __m128i bgr = _mm_set1_epi32(0x00FFFFFF);
    const __m128i blended = _mm_and_si128(_mm_packus_epi16(low, high), bgr);
    return selectLanes(_mm_cmpeq_epi32(_mm_and_si128(s, bgr), zero), d, blended);
}

}  // namespace
}  // namespace ZelUISystem::blend
