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
#include "blend/Pixels24Lanes.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

void twins::colourModulated24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    blendRows24(
        area, noWideStep, [&](__m128i s, __m128i d) { return blendSingles32(s, d, lanes); },
        [&](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

void twins::alpha24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    blendRows24(
        area, noWideStep, [&](__m128i s, __m128i d) { return blendPairs32(s, d, alphaLanes); },
        [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); });
}

void twins::halfLanes24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24(
        area, noWideStep, [](__m128i s, __m128i d) { return average32(s, d); },
        [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
