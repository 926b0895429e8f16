// SSE2 twins of BlendColorAlpha for the 16-bit layouts, one per layout. In 555 and 565 each
// half of a pixel pair is an independent 16-bit computation (PixelFormulas.h), so eight pixels
// of the pair region go through one register with exactly the per-half formula (Registers16.h);
// the pairs left over and the odd last pixel take the integer code. 16-bit pixels with other
// masks use the single-pixel formula eight at a time, each channel at its own bit position.
// Factors above 255 are outside what these twins are offered for.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

namespace {

// blendLanes(s, d): eight pixels of the pair region.
template <bool Is565, typename Lanes>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColourAlpha& k, Lanes blendLanes) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) {
        const __m128i s = Vec128::load(source + 2 * i);
        if (Vec128::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        Vec128::store(d, blendLanes(s, Vec128::load(d)));
    }
    for (; i < paired; i += 2) {
        const std::uint32_t S = load32(source + 2 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store32(d, blendPair<Is565>(S, load32(d), k));
    }
    if (paired < width) blendSingle16At(source + 2 * paired, destination + 2 * paired, masks, masks, k);
}

// blendLanes(s, d): eight pixels by the single-pixel formula of the layout's masks.
template <typename Lanes>
void blendRowMasks(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                   const ColourAlpha& k, Lanes blendLanes) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        const __m128i s = Vec128::load(source + 2 * i);
        if (Vec128::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        Vec128::store(d, blendLanes(s, Vec128::load(d)));
    }
    for (; i < width; ++i) blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairConstants<Vec128> lanes = makePairConstants<Vec128, Is565>(k);
    const auto rows = [&](auto blendLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<Is565>(s, d, w, layout.source, k, blendLanes);
        });
    };
    if (k.alpha == 256)
        rows([&](__m128i s, __m128i d) { return blendPairsInPlace<Vec128, Is565, true>(s, d, lanes); });
    else
        rows([&](__m128i s, __m128i d) { return blendPairsInPlace<Vec128, Is565, false>(s, d, lanes); });
}

}  // namespace

void twins::colourModulated555Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

// The masks decide the lanes: in place where both sides share narrow channels that are placed,
// channel by channel where they only share narrow ones, by the masked lanes otherwise.
void twins::colourModulatedMasksSse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const auto rows = [&](auto blendLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRowMasks(s, d, w, layout, k, blendLanes); });
    };
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed)) {
        const PlacedConstants<Vec128> lanes = makePlacedConstants<Vec128>(placed, k.alpha);
        withPlacedShape(placed, [&](auto above8) {
            rows([&](__m128i s, __m128i d) { return blendPlacedChannels<Vec128, true, decltype(above8)::value>(s, d, lanes); });
        });
    } else if (hasNarrowChannels(layout)) {
        const NarrowLanes<Vec128> lanes = makeNarrowLanes<Vec128>(layout.destination, k);
        rows([&](__m128i s, __m128i d) { return blendNarrowLanes<Vec128>(s, d, lanes); });
    } else {
        const MaskedLanes lanes = makeMaskedLanes(layout, k);
        rows([&](__m128i s, __m128i d) { return blendMaskedLanes(s, d, lanes); });
    }
}

}  // namespace ZelUISystem::blend
