#pragma once
// The wide part of an AVX2 twin's 16-bit row: sixteen pixels a step while they fit (steps whose
// source pixels are all 0 are skipped), then one step of eight. Include only from files built
// with AVX2 enabled.

#include <immintrin.h>

#include <cstdint>

#include "blend/Avx2Lanes.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// wideLanes(s, d) and lanes(s, d) blend sixteen and eight pixels; only the first `limit`
// pixels of the row are touched. Returns how many were done, a multiple of 8.
template <typename WideLanes, typename Lanes>
inline int blendSixteenThenEight16(const std::uint8_t* source, std::uint8_t* destination, int limit,
                                   WideLanes wideLanes, Lanes lanes) {
    int i = 0;
    for (; i + 16 <= limit; i += 16) {
        const __m256i s = load256(source + 2 * i);
        if (_mm256_testz_si256(s, s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store256(d, wideLanes(s, load256(d)));
    }
    if (i + 8 <= limit) {
        std::uint8_t* d = destination + 2 * i;
        store128(d, lanes(load128(source + 2 * i), load128(d)));
        i += 8;
    }
    return i;
}

}  // namespace
}  // namespace ZelUISystem::blend
