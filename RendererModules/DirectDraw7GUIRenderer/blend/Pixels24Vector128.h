#pragma once
// A 128-bit register as the 24-bit twins use it: five whole pixels in bytes 0-14 of a 16-byte
// load taken at a pixel boundary (byte 15 is the first byte of the next pixel), and the byte
// operations the per-byte formulas of Blend24Bytes.h need beyond VectorOps128.h. The same
// names are overloaded for 256-bit registers in Pixels24Vector256.h, so each formula is
// written once for both. Include only from files built with SSSE3 (or wider) flags.

#include <tmmintrin.h>

#include <cstdint>

#include "blend/Sse2Lanes.h"
#include "blend/VectorOps128.h"

namespace ZelUISystem::blend {
namespace {

// The register width as a template argument (the vector type itself would lose its attributes
// there): its group of pixels and its constants.
struct Register128 {
    using Vector = __m128i;
    // Five pixels: the group touches the 16 bytes from its first pixel.
    static constexpr int groupPixels = 5;
    static constexpr int groupBytesTouched = 16;
    static __m128i loadGroup(const std::uint8_t* p) { return load128(p); }
    static __m128i loadSourceGroup(const std::uint8_t* p) { return load128(p); }  // the same
    static void storeGroup(std::uint8_t* p, __m128i v) { store128(p, v); }
    // The 128-bit half holding the group's last pixels.
    static __m128i lastHalf(__m128i v) { return v; }
    static __m128i splat16(std::uint32_t value) { return _mm_set1_epi16(static_cast<short>(value)); }
    // The same 16 bytes in every 128-bit half.
    static __m128i repeatHalves(__m128i half) { return half; }
};

inline __m128i shuffleBytes(__m128i v, __m128i indices) { return _mm_shuffle_epi8(v, indices); }
inline __m128i zeroBytes(__m128i v) { return _mm_cmpeq_epi8(v, _mm_setzero_si128()); }
// The low byte of every 16-bit lane from even, the high byte from odd.
inline __m128i evenAndOddBytes(__m128i even, __m128i odd) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    return _mm_or_si128(_mm_and_si128(lowBytes, even), _mm_andnot_si128(lowBytes, odd));
}
// Each byte from the destination where the mask byte is all ones, else from the blend.
inline __m128i selectBytes(__m128i keepDestination, __m128i destination, __m128i blended) {
    return selectLanes(keepDestination, destination, blended);
}

}  // namespace
}  // namespace ZelUISystem::blend
