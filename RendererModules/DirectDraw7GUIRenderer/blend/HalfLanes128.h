#pragma once
// The 50 % average of BlendHalfMMX's 32-bit pixels on 128-bit registers, shared by its twins.
// Include only from files built with SSE2 (or wider) flags.

#include <emmintrin.h>

#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// ((D AND K) >> 1) + ((S AND K) >> 1) in each 16-bit lane, K clearing the lowest bit of every
// channel; lanes whose source is 0 keep the destination.
inline __m128i average16(__m128i s, __m128i d, __m128i K) {
    const __m128i avg = _mm_add_epi16(_mm_srli_epi16(_mm_and_si128(d, K), 1),
                                      _mm_srli_epi16(_mm_and_si128(s, K), 1));
    return selectLanes(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, avg);
}

// ((D >> 1) AND 0x7F7F7F) + (((S AND 0xFFFFFF) >> 1) AND 0x7F7F7F) in each 32-bit lane, the top
// byte 0; lanes whose source blue, green and red are 0 keep the destination.
inline __m128i average32(__m128i s, __m128i d) {
    const __m128i bgr = _mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF));
    const __m128i halved = _mm_set1_epi32(0x007F7F7F);
    const __m128i avg = _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(d, 1), halved),
                                      _mm_and_si128(_mm_srli_epi32(bgr, 1), halved));
    return selectLanes(_mm_cmpeq_epi32(bgr, _mm_setzero_si128()), d, avg);
}

}  // namespace
}  // namespace ZelUISystem::blend
