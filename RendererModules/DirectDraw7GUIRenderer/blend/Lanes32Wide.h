#pragma once
// The 32-bit lane arithmetic of the three operations on eight pixels per 256-bit register,
// shared by the AVX2 twins of the 32-bit layout. Include only from files built with AVX2 enabled.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// Colour-modulated and constant alpha on each byte in place, as blendSingles32 and
// blendPairs32 (ColorAlphaLanes128.h, AlphaLanes128.h) on 128 bits: even bytes (blue, red) low
// in their 16-bit lane, odd bytes (green, the top byte) high; the multiplier lanes are those
// functions' own, and the shuffles that pick the even and odd multipliers work within each
// 128-bit half, as the broadcast lanes need.
inline __m256i evenOfWide(__m256i byteLanes) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(byteLanes, 0x88), 0x88);
}

inline __m256i oddOfWide(__m256i byteLanes) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(byteLanes, 0xDD), 0xDD);
}

inline __m256i productDiv256Wide(__m256i v, __m256i alphaTimes2) {
    return _mm256_mulhi_epi16(_mm256_slli_epi16(v, 7), alphaTimes2);
}

inline __m256i transparent32Wide(__m256i s) {
    return _mm256_cmpeq_epi32(_mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF)), _mm256_setzero_si256());
}

inline __m256i blendSingles32Wide(__m256i s, __m256i d, __m256i factor, __m256i alphaTimes2) {
    const __m256i oddAlphaTimes2 = _mm256_or_si256(_mm256_and_si256(alphaTimes2, _mm256_set1_epi32(0xFFFF)),
                                                   _mm256_set1_epi32(512 << 16));
    const __m256i lowByte = _mm256_set1_epi16(0x00FF);
    const __m256i sEven = _mm256_mulhi_epu16(_mm256_slli_epi16(s, 8), evenOfWide(factor));
    const __m256i sOdd = _mm256_mulhi_epu16(_mm256_andnot_si256(lowByte, s), oddOfWide(factor));
    const __m256i dEven = _mm256_and_si256(d, lowByte);
    const __m256i dOdd = _mm256_srli_epi16(d, 8);
    const __m256i even = _mm256_add_epi16(dEven, productDiv256Wide(_mm256_sub_epi16(sEven, dEven), alphaTimes2));
    const __m256i odd = _mm256_add_epi16(dOdd, productDiv256Wide(_mm256_sub_epi16(sOdd, dOdd), oddAlphaTimes2));
    return selectLanes256(transparent32Wide(s), d, _mm256_or_si256(even, _mm256_slli_epi16(odd, 8)));
}

inline __m256i bytewiseProductsWide(__m256i x, __m256i evenMultiplier, __m256i oddMultiplier) {
    const __m256i even = _mm256_mulhi_epu16(_mm256_slli_epi16(x, 8), evenMultiplier);
    const __m256i odd =
        _mm256_mulhi_epu16(_mm256_and_si256(x, _mm256_set1_epi16(static_cast<short>(0xFF00))), oddMultiplier);
    return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

inline __m256i blendPairs32Wide(__m256i s, __m256i d, __m256i alpha) {
    const __m256i even = evenOfWide(alpha);
    const __m256i odd = oddOfWide(alpha);
    const __m256i blended = _mm256_sub_epi8(_mm256_add_epi8(d, bytewiseProductsWide(s, even, odd)),
                                            bytewiseProductsWide(d, even, odd));
    return selectLanes256(transparent32Wide(s), d, blended);
}

// Half: ((D >> 1) AND 0x7F7F7F) + (((S AND 0xFFFFFF) >> 1) AND 0x7F7F7F) (HalfLanes128.h).
inline __m256i average32Wide(__m256i s, __m256i d) {
    const __m256i bgr = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
    const __m256i halved = _mm256_set1_epi32(0x007F7F7F);
    const __m256i avg = _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(d, 1), halved),
                                         _mm256_and_si256(_mm256_srli_epi32(bgr, 1), halved));
    return selectLanes256(_mm256_cmpeq_epi32(bgr, _mm256_setzero_si256()), d, avg);
}

}  // namespace
}  // namespace ZelUISystem::blend
