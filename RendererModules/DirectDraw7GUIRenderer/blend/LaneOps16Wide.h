#pragma once
// LaneOps16.h's operations on 256-bit registers (sixteen 16-bit lanes). Include only from
// files built with AVX2 enabled.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"

namespace ZelUISystem::blend {
namespace {

struct LaneOps256 {
    using V = __m256i;
    static V set1(unsigned value) { return _mm256_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }
    static V add(V x, V y) { return _mm256_add_epi16(x, y); }
    static V sub(V x, V y) { return _mm256_sub_epi16(x, y); }
    static V bitAnd(V x, V y) { return _mm256_and_si256(x, y); }
    static V bitOr(V x, V y) { return _mm256_or_si256(x, y); }
    static V mulLow(V x, V y) { return _mm256_mullo_epi16(x, y); }
    static V mulHighUnsigned(V x, V y) { return _mm256_mulhi_epu16(x, y); }
    static V mulHighSigned(V x, V y) { return _mm256_mulhi_epi16(x, y); }
    template <int Bits> static V shiftLeft(V x) { return _mm256_slli_epi16(x, Bits); }
    template <int Bits> static V shiftRight(V x) { return _mm256_srli_epi16(x, Bits); }
    template <int Bits> static V shiftRightSigned(V x) { return _mm256_srai_epi16(x, Bits); }
    static V shiftLeft(V x, __m128i bits) { return _mm256_sll_epi16(x, bits); }
    static V shiftRightSigned(V x, __m128i bits) { return _mm256_sra_epi16(x, bits); }
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return selectLanes256(_mm256_cmpeq_epi16(source, _mm256_setzero_si256()), destination, blended);
    }
};

}  // namespace
}  // namespace ZelUISystem::blend
