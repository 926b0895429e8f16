#pragma once
// VectorOps128.h's operations on 256-bit registers. Include only from files built with AVX2.

#include <immintrin.h>

namespace ZelUISystem::blend {
namespace {

inline __m256i bitAnd(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
inline __m256i bitOr(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
inline __m256i bitAndNot(__m256i mask, __m256i v) { return _mm256_andnot_si256(mask, v); }
inline __m256i addBytes(__m256i a, __m256i b) { return _mm256_add_epi8(a, b); }
inline __m256i subtractBytes(__m256i a, __m256i b) { return _mm256_sub_epi8(a, b); }
inline __m256i add16(__m256i a, __m256i b) { return _mm256_add_epi16(a, b); }
inline __m256i subtract16(__m256i a, __m256i b) { return _mm256_sub_epi16(a, b); }
template <int Bits>
inline __m256i shiftLeft16(__m256i v) {
    return _mm256_slli_epi16(v, Bits);
}
template <int Bits>
inline __m256i shiftRight16(__m256i v) {
    return _mm256_srli_epi16(v, Bits);
}
template <int Bits>
inline __m256i shiftRightSigned16(__m256i v) {
    return _mm256_srai_epi16(v, Bits);
}
inline __m256i shiftLeft16(__m256i v, __m128i bits) { return _mm256_sll_epi16(v, bits); }
inline __m256i shiftRightSigned16(__m256i v, __m128i bits) { return _mm256_sra_epi16(v, bits); }
inline __m256i multiplyHighUnsigned16(__m256i a, __m256i b) { return _mm256_mulhi_epu16(a, b); }
inline __m256i multiplyHighSigned16(__m256i a, __m256i b) { return _mm256_mulhi_epi16(a, b); }
inline __m256i multiplyLow16(__m256i a, __m256i b) { return _mm256_mullo_epi16(a, b); }

}  // namespace
}  // namespace ZelUISystem::blend
