#pragma once
// Unaligned 128- and 64-bit loads and stores and the lane select used by the SSE2 kernels.
// Include only from files built with SSE2 flags.

#include <emmintrin.h>

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

inline __m128i load128(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void store128(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

inline __m128i load64Low(const std::uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline void store64Low(std::uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }

// Destination where keepDestination is all ones, blended elsewhere.
inline __m128i selectLanes(__m128i keepDestination, __m128i destination, __m128i blended) {
    return _mm_or_si128(_mm_and_si128(keepDestination, destination),
                        _mm_andnot_si128(keepDestination, blended));
}

inline bool allBytesZero(__m128i v) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF;
}

}  // namespace
}  // namespace ZelUISystem::blend
