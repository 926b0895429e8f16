// AVX2 twin of BlendAlphaMMX for 32-bit pixels: the MMX kernel's pair formula (Registers32.h)
// on eight pixels per 256-bit register; what is left takes one 128-bit and one 64-bit step,
// then the odd last pixel the reference's own formula (top byte 0).

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers32.h"

namespace ZelUISystem::blend {

namespace {

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m128i alpha, std::uint32_t a) {
    const __m256i wideAlpha = _mm256_broadcastsi128_si256(alpha);
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        Vec256::store(d, blendPairs32<Vec256>(Vec256::load(source + 4 * i), Vec256::load(d), wideAlpha));
    }
    if (i + 4 <= paired) {
        std::uint8_t* d = destination + 4 * i;
        Vec128::store(d, blendPairs32<Vec128>(Vec128::load(source + 4 * i), Vec128::load(d), alpha));
        i += 4;
    }
    if (i < paired) {
        std::uint8_t* d = destination + 4 * i;
        Vec128::storeLow(d, blendPairs32<Vec128>(Vec128::loadLow(source + 4 * i), Vec128::loadLow(d), alpha));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
}

}  // namespace ZelUISystem::blend
