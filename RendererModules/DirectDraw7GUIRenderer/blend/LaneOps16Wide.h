#pragma once
// LaneOps16.h for 256-bit registers (sixteen 16-bit lanes), with the overloads of
// VectorOps256.h. Include only from files built with AVX2 enabled.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"
#include "blend/VectorOps256.h"

namespace ZelUISystem::blend {
namespace {

struct LaneOps256 {
    using V = __m256i;
    static V set1(unsigned value) { return _mm256_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return selectLanes256(_mm256_cmpeq_epi16(source, _mm256_setzero_si256()), destination, blended);
    }
};

}  // namespace
}  // namespace ZelUISystem::blend
