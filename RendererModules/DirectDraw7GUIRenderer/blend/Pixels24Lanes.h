#pragma once
// Four 3-byte pixels spread over the 32-bit lanes of a 128-bit register and packed back with
// byte shuffles, and the row walk of the 24-bit twins. Include only from files built with SSSE3
// (or wider) flags.

#include <tmmintrin.h>

#include <cstdint>

#include "blend/BlendArea.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// Four pixels of 3 bytes in the low 12 bytes to four 32-bit lanes with top byte 0.
inline __m128i spreadPixels24(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
}

// Four 32-bit lanes back to 12 bytes of 3-byte pixels; the top 4 bytes become 0.
inline __m128i packPixels24(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
}

inline bool twelveBytesZero(__m128i v) {
    return (_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) & 0x0FFF) == 0x0FFF;
}

// blendWide(source row, destination row, width) on the row's first pixels, returning how many
// it did; then blendFour(source lanes, destination lanes) on every group of four pixels whose
// 16-byte load stays in the row, blendOne(source, destination) on each non-transparent pixel
// after them.
template <typename Wide, typename Four, typename One>
void blendRows24(const BlendArea& area, Wide blendWide, Four blendFour, One blendOne) {
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        const std::int64_t rowBytes = std::int64_t{3} * width;
        int i = blendWide(source, destination, width);
        for (; std::int64_t{3} * i + 16 <= rowBytes; i += 4) {
            const __m128i s = load128(source + 3 * i);
            if (twelveBytesZero(s)) continue;
            std::uint8_t* d = destination + 3 * i;
            const __m128i dv = load128(d);
            const __m128i blended = packPixels24(blendFour(spreadPixels24(s), spreadPixels24(dv)));
            // Exactly the 12 bytes of the four pixels: a 16-byte store would also overlap the
            // next group's load, which the processor cannot forward from.
            store64Low(d, blended);
            store32(d + 8, static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(blended, 8))));
        }
        for (; i < width; ++i) {
            const std::uint32_t s = load24(source + 3 * i);
            if (s == 0) continue;
            std::uint8_t* d = destination + 3 * i;
            store24(d, blendOne(s, load24(d)));
        }
    });
}

// For a twin without a wider step.
inline int noWideStep(const std::uint8_t*, std::uint8_t*, int) { return 0; }

}  // namespace
}  // namespace ZelUISystem::blend
