#pragma once
// The 16-bit lane operations the in-place channel formulas (ChannelsInPlace16.h) are written
// with, on 128-bit registers; LaneOps16Wide.h gives the same names on 256 bits, so one formula
// serves the SSE2 twins, the AVX2 twins and the AVX2 twins' 128-bit tails. Include only from
// files built with SSE2 (or wider) flags.

#include <emmintrin.h>

#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

struct LaneOps128 {
    using V = __m128i;
    static V set1(unsigned value) { return _mm_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    // A shift count for shiftLeft, whatever the register width.
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }
    static V add(V x, V y) { return _mm_add_epi16(x, y); }
    static V sub(V x, V y) { return _mm_sub_epi16(x, y); }
    static V bitAnd(V x, V y) { return _mm_and_si128(x, y); }
    static V bitOr(V x, V y) { return _mm_or_si128(x, y); }
    static V mulLow(V x, V y) { return _mm_mullo_epi16(x, y); }
    static V mulHighUnsigned(V x, V y) { return _mm_mulhi_epu16(x, y); }
    static V mulHighSigned(V x, V y) { return _mm_mulhi_epi16(x, y); }
    template <int Bits> static V shiftLeft(V x) { return _mm_slli_epi16(x, Bits); }
    template <int Bits> static V shiftRight(V x) { return _mm_srli_epi16(x, Bits); }
    template <int Bits> static V shiftRightSigned(V x) { return _mm_srai_epi16(x, Bits); }
    static V shiftLeft(V x, __m128i bits) { return _mm_sll_epi16(x, bits); }
    static V shiftRightSigned(V x, __m128i bits) { return _mm_sra_epi16(x, bits); }
    // The destination in every lane whose source pixel is 0, the blend elsewhere.
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return selectLanes(_mm_cmpeq_epi16(source, _mm_setzero_si128()), destination, blended);
    }
};

}  // namespace
}  // namespace ZelUISystem::blend
