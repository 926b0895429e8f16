// AVX2 twin of BlendColourAlpha: the lane arithmetic of ChannelsInPlace16.h, ColorAlphaLanes128.h
// and Lanes32Wide.h on sixteen 16-bit or eight 32-bit pixels per register. What the wide loop
// leaves over takes the 128-bit step and then the integer code, as in the SSE2 twin. It is offered
// for 555, 565, other 16-bit masks and 32-bit pixels and factors 0..255.

#include <immintrin.h>

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/PixelAccess.h"
#include "blend/Avx2Lanes.h"
#include "blend/LaneOps16.h"
#include "blend/LaneOps16Wide.h"
// After the 256-bit overloads, which its templates use.
#include "blend/ChannelsInPlace16.h"
#include "blend/Lanes32Wide.h"
#include "blend/Rows16Wide.h"
#include "blend/ColourModulatedMasksWide.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

// wideLanes(s, d) and lanes(s, d): sixteen and eight pixels of the pair region.
template <bool Is565, typename WideLanes, typename Lanes>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColourAlpha& k, WideLanes wideLanes, Lanes lanes) {
    const int paired = width / 2 * 2;
    int i = blendSixteenThenEight16(source, destination, paired, wideLanes, lanes);
    for (; i < paired; i += 2) {
        const std::uint32_t S = load32(source + 2 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store32(d, blendPair<Is565>(S, load32(d), k));
    }
    if (paired < width) blendSingle16At(source + 2 * paired, destination + 2 * paired, masks, masks, k);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ColourAlpha& k,
                const SingleLanes& lanes) {
    const __m256i factor = _mm256_broadcastsi128_si256(lanes.factor);
    const __m256i alpha = _mm256_broadcastsi128_si256(lanes.alphaTimes2);
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        store256(d, blendSingles32Wide(load256(source + 4 * i), load256(d), factor, alpha));
    }
    if (i + 4 <= width) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendSingles32(load128(source + 4 * i), load128(d), lanes));
        i += 4;
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendBgr(s, load32(d), k));
    }
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairConstants<LaneOps256> wide = makePairConstants<LaneOps256, Is565>(k);
    const PairConstants<LaneOps128> lanes = makePairConstants<LaneOps128, Is565>(k);
    const auto rows = [&](auto wideLanes, auto narrowLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<Is565>(s, d, w, layout.source, k, wideLanes, narrowLanes);
        });
    };
    if (k.alpha == 256)
        rows([&](__m256i s, __m256i d) { return blendPairsInPlace<LaneOps256, Is565, true>(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendPairsInPlace<LaneOps128, Is565, true>(s, d, lanes); });
    else
        rows([&](__m256i s, __m256i d) { return blendPairsInPlace<LaneOps256, Is565, false>(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendPairsInPlace<LaneOps128, Is565, false>(s, d, lanes); });
}

}  // namespace

void twins::colourModulated555Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

void twins::colourModulatedMasksAvx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedMasksWide(area, layout, p, [&](const ColourAlpha& k, const PlacedChannels& placed) {
        placedMultipliedRows(area, layout, k, placed);
    });
}

void twins::colourModulated32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k, lanes); });
}

}  // namespace ZelUISystem::blend
