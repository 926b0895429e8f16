#pragma once
// What the in-place channel formulas (ChannelsInPlace16.h) take from a 128-bit register width
// beyond the arithmetic overloads of VectorOps128.h: its type, 16-bit constants, shift counts
// and the select of transparent lanes. LaneOps16Wide.h gives the same on 256 bits, so one formula
// serves the SSE2 twins, the AVX2 twins and the AVX2 twins' 128-bit tails. Include only from
// files built with SSE2 (or wider) flags.

#include <emmintrin.h>

#include "blend/Sse2Lanes.h"
#include "blend/VectorOps128.h"

namespace ZelUISystem::blend {
namespace {

struct LaneOps128 {
    using V = __m128i;
    static V set1(unsigned value) { return _mm_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    // A shift count for shiftLeft16, whatever the register width.
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }
    // The destination in every lane whose source pixel is 0, the blend elsewhere.
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return selectLanes(_mm_cmpeq_epi16(source, _mm_setzero_si128()), destination, blended);
    }
};

}  // namespace
}  // namespace ZelUISystem::blend
