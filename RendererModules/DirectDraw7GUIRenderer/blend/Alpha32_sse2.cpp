// SSE2 twin of BlendAlphaMMX for 32-bit pixels: the MMX kernel's pair formula (Registers32.h)
// on four pixels per 128-bit register, then one 64-bit step; the odd last pixel takes the
// reference's own formula (top byte 0).

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers32.h"

namespace ZelUISystem::blend {

namespace {

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m128i alpha, std::uint32_t a) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 4 <= paired; i += 4) {
        const __m128i s = Vec128::load(source + 4 * i);
        std::uint8_t* d = destination + 4 * i;
        Vec128::store(d, blendPairs32<Vec128>(s, Vec128::load(d), alpha));
    }
    if (i < paired) {
        std::uint8_t* d = destination + 4 * i;
        Vec128::storeLow(d, blendPairs32<Vec128>(Vec128::loadLow(source + 4 * i), Vec128::loadLow(d), alpha));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
}

}  // namespace ZelUISystem::blend
