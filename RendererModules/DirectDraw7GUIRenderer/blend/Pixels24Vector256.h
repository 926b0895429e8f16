#pragma once
// A 256-bit register as the 24-bit twins use it: ten pixels, five in each 128-bit half, the low
// half loaded from the group's first pixel and the high half from 15 bytes further, so both
// halves start at a pixel boundary and share one byte pattern. Byte 15 of the low half is the
// high half's byte 0 again; byte 15 of the high half is the first byte after the group. The
// operations of Pixels24Vector128.h on both halves. Include only from files built with AVX2.

#include <immintrin.h>

#include <cstdint>

#include "blend/Avx2Lanes.h"
#include "blend/Pixels24Vector128.h"
#include "blend/Sse2Lanes.h"
#include "blend/VectorOps256.h"

namespace ZelUISystem::blend {
namespace {

// Ten pixels: the group touches the 31 bytes from its first pixel. The low half is stored
// first, so the high half's store gives the byte they share its final value.
struct Register256 {
    using Vector = __m256i;
    static constexpr int groupPixels = 10;
    static constexpr int groupBytesTouched = 31;
    static __m256i loadGroup(const std::uint8_t* p) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(load128(p)), load128(p + 15), 1);
    }
    // The same for the source, whose high half goes through a broadcast load and a blend of
    // 32-bit lanes instead of an insert: the blend can run on any vector pipe, the insert only
    // on fewer, which the twins' shuffles also need. One load of each kind was measured
    // fastest, by 1 to 4 %.
    static __m256i loadSourceGroup(const std::uint8_t* p) {
        return _mm256_blend_epi32(_mm256_castsi128_si256(load128(p)), _mm256_broadcastsi128_si256(load128(p + 15)), 0xF0);
    }
    static void storeGroup(std::uint8_t* p, __m256i v) {
        store128(p, _mm256_castsi256_si128(v));
        store128(p + 15, _mm256_extracti128_si256(v, 1));
    }
    // Two groups of five as the low and high half.
    static __m256i fromHalves(__m128i low, __m128i high) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
    static __m128i firstHalf(__m256i v) { return _mm256_castsi256_si128(v); }
    // The 128-bit half holding the group's last pixels.
    static __m128i lastHalf(__m256i v) { return _mm256_extracti128_si256(v, 1); }
    static __m256i splat16(std::uint32_t value) { return _mm256_set1_epi16(static_cast<short>(value)); }
    static __m256i repeatHalves(__m128i half) { return _mm256_broadcastsi128_si256(half); }
};

// Within each 128-bit half, as the byte pattern of a group is.
inline __m256i shuffleBytes(__m256i v, __m256i indices) { return _mm256_shuffle_epi8(v, indices); }
inline __m256i zeroBytes(__m256i v) { return _mm256_cmpeq_epi8(v, _mm256_setzero_si256()); }
inline __m256i evenAndOddBytes(__m256i even, __m256i odd) {
    return _mm256_blendv_epi8(even, odd, _mm256_set1_epi16(static_cast<short>(0xFF00)));
}
inline __m256i selectBytes(__m256i keepDestination, __m256i destination, __m256i blended) {
    return selectLanes256(keepDestination, destination, blended);
}

}  // namespace
}  // namespace ZelUISystem::blend
