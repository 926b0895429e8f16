// AVX2 twins of BlendColorAlpha for the 16-bit layouts, one per layout: the lane formulas of
// Registers16.h on sixteen pixels per 256-bit register. What the wide loop leaves over takes
// the 128-bit step and then the integer code, as in the SSE2 twins. Factors above 255 are
// outside what these twins are offered for.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

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

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairConstants<Vec256> wide = makePairConstants<Vec256, Is565>(k);
    const PairConstants<Vec128> lanes = makePairConstants<Vec128, Is565>(k);
    const auto rows = [&](auto wideLanes, auto narrowLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<Is565>(s, d, w, layout.source, k, wideLanes, narrowLanes);
        });
    };
    if (k.alpha == 256)
        rows([&](__m256i s, __m256i d) { return blendPairsInPlace<Vec256, Is565, true>(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendPairsInPlace<Vec128, Is565, true>(s, d, lanes); });
    else
        rows([&](__m256i s, __m256i d) { return blendPairsInPlace<Vec256, Is565, false>(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendPairsInPlace<Vec128, Is565, false>(s, d, lanes); });
}

}  // namespace

void twins::colourModulated555Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

// The masks decide the lanes: in place where both sides share narrow channels that are placed,
// channel by channel where they only share narrow ones, by the masked 128-bit lanes otherwise.
void twins::colourModulatedMasksAvx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed))
        colourModulatedPlacedRows(area, layout, k, placed);
    else if (hasNarrowChannels(layout))
        colourModulatedNarrowChannelRows(area, layout, k);
    else
        colourModulatedMaskedRows(area, layout, k);
}

}  // namespace ZelUISystem::blend
