#pragma once
// The 32-bit lane arithmetic of the three operations on eight pixels per 256-bit register,
// shared by the AVX2 twins of the 32-bit and 24-bit layouts (the 24-bit formula of each
// operation is the 32-bit one without the top byte). The byte unpacks and packs work within
// each 128-bit half, so a pack after two unpacks gives the pixels back in their order. Include
// only from files built with AVX2 enabled.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// Colour-modulated: s' = floor(s * f / 256), out = d + floor((s' - d) * a / 256) on widened
// bytes (ColorAlphaLanes128.h), top byte 0; pixels whose blue, green and red are 0 keep d.
inline __m256i productDiv256Wide(__m256i v, __m256i alphaTimes2) {
    return _mm256_mulhi_epi16(_mm256_slli_epi16(v, 7), alphaTimes2);
}

inline __m256i blendWidenedSingleWide(__m256i s, __m256i d, __m256i factor, __m256i alphaTimes2) {
    const __m256i modulated = _mm256_srli_epi16(_mm256_mullo_epi16(s, factor), 8);
    return _mm256_add_epi16(d, productDiv256Wide(_mm256_sub_epi16(modulated, d), alphaTimes2));
}

inline __m256i blendSingles32Wide(__m256i s, __m256i d, __m256i factor, __m256i alphaTimes2) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = blendWidenedSingleWide(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), factor, alphaTimes2);
    const __m256i high = blendWidenedSingleWide(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), factor, alphaTimes2);
    const __m256i bgr = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i blended = _mm256_and_si256(_mm256_packus_epi16(low, high), bgr);
    return selectLanes256(_mm256_cmpeq_epi32(_mm256_and_si256(s, bgr), zero), d, blended);
}

// Constant alpha, the pair formula d + floor(s*a/256) - floor(d*a/256) (AlphaLanes128.h).
inline __m256i blendWidenedBytesWide(__m256i s, __m256i d, __m256i alpha) {
    const __m256i sa = _mm256_srli_epi16(_mm256_mullo_epi16(s, alpha), 8);
    const __m256i da = _mm256_srli_epi16(_mm256_mullo_epi16(d, alpha), 8);
    return _mm256_sub_epi16(_mm256_add_epi16(d, sa), da);
}

inline __m256i blendPairs32Wide(__m256i s, __m256i d, __m256i alpha) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = blendWidenedBytesWide(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), alpha);
    const __m256i high = blendWidenedBytesWide(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), alpha);
    const __m256i transparent = _mm256_cmpeq_epi32(_mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF)), zero);
    return selectLanes256(transparent, d, _mm256_packus_epi16(low, high));
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
