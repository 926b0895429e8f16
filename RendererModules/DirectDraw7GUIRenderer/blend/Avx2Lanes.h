#pragma once
// 256-bit loads, stores and lane selects shared by the AVX2 twins. Include only from files
// built with AVX2 enabled.

#include <immintrin.h>

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

inline __m256i load256(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

inline void store256(std::uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Each byte from the destination where the mask byte's top bit is set, else from the blend.
inline __m256i selectLanes256(__m256i keepDestination, __m256i destination, __m256i blended) {
    return _mm256_blendv_epi8(blended, destination, keepDestination);
}

}  // namespace
}  // namespace ZelUISystem::blend
