#pragma once
// The byte and 16-bit lane operations the SIMD formulas are written with, on 128-bit registers.
// VectorOps256.h overloads the same names for 256-bit registers, so a formula written once as a
// template serves both widths (the 16-bit in-place channels of ChannelsInPlace16.h, the 24-bit
// bytes of Blend24Bytes.h). Include only from files built with SSE2 (or wider) flags.

#include <emmintrin.h>

namespace ZelUISystem::blend {
namespace {

inline __m128i bitAnd(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
inline __m128i bitOr(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
// (NOT mask) AND v.
inline __m128i bitAndNot(__m128i mask, __m128i v) { return _mm_andnot_si128(mask, v); }
inline __m128i addBytes(__m128i a, __m128i b) { return _mm_add_epi8(a, b); }
inline __m128i subtractBytes(__m128i a, __m128i b) { return _mm_sub_epi8(a, b); }
inline __m128i add16(__m128i a, __m128i b) { return _mm_add_epi16(a, b); }
inline __m128i subtract16(__m128i a, __m128i b) { return _mm_sub_epi16(a, b); }
template <int Bits>
inline __m128i shiftLeft16(__m128i v) {
    return _mm_slli_epi16(v, Bits);
}
template <int Bits>
inline __m128i shiftRight16(__m128i v) {
    return _mm_srli_epi16(v, Bits);
}
template <int Bits>
inline __m128i shiftRightSigned16(__m128i v) {
    return _mm_srai_epi16(v, Bits);
}
// By a count in the low 64 bits of bits, whatever the register width.
inline __m128i shiftLeft16(__m128i v, __m128i bits) { return _mm_sll_epi16(v, bits); }
inline __m128i shiftRightSigned16(__m128i v, __m128i bits) { return _mm_sra_epi16(v, bits); }
// The top 16 bits of each unsigned and of each signed 32-bit product.
inline __m128i multiplyHighUnsigned16(__m128i a, __m128i b) { return _mm_mulhi_epu16(a, b); }
inline __m128i multiplyHighSigned16(__m128i a, __m128i b) { return _mm_mulhi_epi16(a, b); }
// The low 16 bits of each product, the same for signed and unsigned lanes.
inline __m128i multiplyLow16(__m128i a, __m128i b) { return _mm_mullo_epi16(a, b); }

}  // namespace
}  // namespace ZelUISystem::blend
