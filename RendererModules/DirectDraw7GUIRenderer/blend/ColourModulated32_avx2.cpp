// AVX2 twin of BlendColorAlpha for 32-bit pixels: the single-pixel formula on each byte in
// place (Registers32.h), eight pixels per 256-bit register; what is left takes one 128-bit step
// and then the integer code. Factors above 255 are outside what this twin is offered for.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers32.h"

namespace ZelUISystem::blend {

namespace {

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ColourAlpha& k,
                __m128i factor, __m128i alphaTimes2) {
    const __m256i wideFactor = _mm256_broadcastsi128_si256(factor);
    const __m256i wideAlpha = _mm256_broadcastsi128_si256(alphaTimes2);
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        Vec256::store(d, blendSingles32<Vec256>(Vec256::load(source + 4 * i), Vec256::load(d), wideFactor, wideAlpha));
    }
    if (i + 4 <= width) {
        std::uint8_t* d = destination + 4 * i;
        Vec128::store(d, blendSingles32<Vec128>(Vec128::load(source + 4 * i), Vec128::load(d), factor, alphaTimes2));
        i += 4;
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendBgr(s, load32(d), k));
    }
}

}  // namespace

void twins::colourModulated32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const __m128i factor = _mm_set_epi16(0, r, g, b, 0, r, g, b);
    const __m128i alphaTimes2 = _mm_set1_epi16(static_cast<short>(2 * a));
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k, factor, alphaTimes2); });
}

}  // namespace ZelUISystem::blend
