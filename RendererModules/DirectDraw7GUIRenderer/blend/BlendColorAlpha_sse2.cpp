// SSE2 twin of BlendColourAlpha. In 555 and 565 each half of a pixel pair is an independent
// 16-bit computation (ColorAlphaPixel.h), so eight pixels of the pair region go through one
// register with exactly the per-half formula (ChannelsInPlace16.h); the pairs left over and the
// odd last pixel take the integer code. 32-bit pixels use the single-pixel formula four at a
// time; so do 16-bit pixels with other masks, eight at a time, each channel at its own bit
// position. Factors above 255 are outside what this twin is offered for, and so is the 24-bit
// layout.

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ChannelsInPlace16.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/LaneOps16.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

// blendLanes(s, d): eight pixels of the pair region.
template <bool Is565, typename Lanes>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColourAlpha& k, Lanes blendLanes) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendLanes(s, load128(d)));
    }
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
    int i = 0;
    for (; i + 4 <= width; i += 4) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendSingles32(load128(source + 4 * i), load128(d), lanes));
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendBgr(s, load32(d), k));
    }
}

// blendLanes(s, d): eight pixels by the single-pixel formula of the layout's masks.
template <typename Lanes>
void blendRowMasks(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                   const ColourAlpha& k, Lanes blendLanes) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendLanes(s, load128(d)));
    }
    for (; i < width; ++i) blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    using O = LaneOps128;
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairConstants<O> lanes = makePairConstants<O, Is565>(k);
    const auto rows = [&](auto blendLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<Is565>(s, d, w, layout.source, k, blendLanes);
        });
    };
    if (k.alpha == 256)
        rows([&](__m128i s, __m128i d) { return blendPairsInPlace<O, Is565, true>(s, d, lanes); });
    else
        rows([&](__m128i s, __m128i d) { return blendPairsInPlace<O, Is565, false>(s, d, lanes); });
}

}  // namespace

void twins::colourModulated555Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

void twins::colourModulatedMasksSse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const auto rows = [&](auto blendLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRowMasks(s, d, w, layout, k, blendLanes); });
    };
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed)) {
        const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, k.alpha);
        withPlacedShape(placed, [&](auto above8) {
            rows([&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, true, decltype(above8)::value>(s, d, lanes); });
        });
    } else if (hasNarrowChannels(layout)) {
        const NarrowLanes lanes = makeNarrowLanes(layout.destination, k);
        rows([&](__m128i s, __m128i d) { return blendNarrowLanes(s, d, lanes); });
    } else {
        const MaskedLanes lanes = makeMaskedLanes(layout, k);
        rows([&](__m128i s, __m128i d) { return blendMaskedLanes(s, d, lanes); });
    }
}

void twins::colourModulated32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k, lanes); });
}

}  // namespace ZelUISystem::blend
