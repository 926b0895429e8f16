// SSSE3 twins of the three operations for 24-bit pixels. A byte shuffle spreads four 3-byte
// pixels (12 bytes of one 16-byte load) over four 32-bit lanes with top byte 0, where the
// 32-bit lane arithmetic of the other twins applies unchanged (for each operation the 24-bit
// formula is the 32-bit one without the top byte); a second shuffle packs the result back and
// exactly its 12 bytes are stored. A group is taken only while its 16-byte loads lie inside the
// row; the pixels after the last such group go one at a time, each touching exactly its three
// bytes.

#include <tmmintrin.h>

#include <cstdint>

#include "blend/AlphaLanes128.h"
#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/HalfLanes128.h"
#include "blend/HalfPixel.h"
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

// blendFour(source lanes, destination lanes) on every group of four pixels whose 16-byte load
// stays in the row, blendOne(source, destination) on each non-transparent pixel after them.
template <typename Four, typename One>
void blendRows24(const BlendArea& area, Four blendFour, One blendOne) {
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        const std::int64_t rowBytes = std::int64_t{3} * width;
        int i = 0;
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

}  // namespace

void twins::colourModulated24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    blendRows24(
        area, [&](__m128i s, __m128i d) { return blendSingles32(s, d, lanes); },
        [&](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

void twins::alpha24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    blendRows24(
        area, [&](__m128i s, __m128i d) { return blendPairs32(s, d, alphaLanes); },
        [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); });
}

void twins::halfLanes24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24(
        area, [](__m128i s, __m128i d) { return average32(s, d); },
        [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
