#pragma once
// 64-bit MMX loads, stores and lane selects shared by the MMX kernels. Include only from files
// built with MMX enabled.

#include <mmintrin.h>

#include <cstdint>
#include <cstring>

#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
namespace {

inline __m64 load64(const std::uint8_t* p) {
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store64(std::uint8_t* p, __m64 v) { std::memcpy(p, &v, sizeof v); }

// Zero tests done on integer registers, so no 64-bit scalar value ever lives in MMX.
inline bool isZero64(const std::uint8_t* p) { return (load32(p) | load32(p + 4)) == 0; }

inline bool isBgrZero64(const std::uint8_t* p) {
    return ((load32(p) | load32(p + 4)) & 0x00FFFFFFu) == 0;
}

// Each lane from the destination where the mask lane is all ones, else from the blend.
inline __m64 selectLanes(__m64 keepDestination, __m64 destination, __m64 blended) {
    return _mm_or_si64(_mm_and_si64(keepDestination, destination),
                       _mm_andnot_si64(keepDestination, blended));
}

}  // namespace
}  // namespace ZelUISystem::blend
