// AVX2 twin of BlendColorAlpha: the lane arithmetic of ChannelsInPlace16.h, ColorAlphaLanes128.h
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
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

// wideLanes(s, d) and lanes(s, d): sixteen and eight pixels of the pair region.
template <bool Is565, typename WideLanes, typename Lanes>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColorAlpha& k, WideLanes wideLanes, Lanes lanes) {
    const int paired = width / 2 * 2;
    int i = blendSixteenThenEight16(source, destination, paired, wideLanes, lanes);
    for (; i < paired; i += 2) {
        const std::uint32_t S = load32(source + 2 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store32(d, blendPair<Is565>(S, load32(d), k));
    }
    if (paired == width) return;
    const std::uint32_t s = load16(source + 2 * paired);
    if (s == 0) return;
    std::uint8_t* d = destination + 2 * paired;
    store16(d, blendSinglePixel16(s, load16(d), masks, masks, k));
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ColorAlpha& k,
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

// blendNarrowLanes of ColorAlphaLanes128.h on sixteen lanes.
struct NarrowLanesWide {
    __m256i mask[3];
    __m128i shift[3];
    __m256i factor[3];
    __m256i alphaTimes2;
};

NarrowLanesWide widen(const NarrowLanes& lanes) {
    NarrowLanesWide wide;
    for (int c = 0; c < 3; ++c) {
        wide.mask[c] = _mm256_broadcastsi128_si256(lanes.mask[c]);
        wide.shift[c] = lanes.shift[c];
        wide.factor[c] = _mm256_broadcastsi128_si256(lanes.factor[c]);
    }
    wide.alphaTimes2 = _mm256_broadcastsi128_si256(lanes.alphaTimes2);
    return wide;
}

__m256i narrowChannelWide(__m256i s, __m256i d, int c, const NarrowLanesWide& lanes) {
    const __m256i sc = _mm256_srl_epi16(_mm256_and_si256(s, lanes.mask[c]), lanes.shift[c]);
    const __m256i dc = _mm256_srl_epi16(_mm256_and_si256(d, lanes.mask[c]), lanes.shift[c]);
    const __m256i modulated = _mm256_srli_epi16(_mm256_mullo_epi16(sc, lanes.factor[c]), 8);
    const __m256i step =
        _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(modulated, dc), 7), lanes.alphaTimes2);
    return _mm256_sll_epi16(_mm256_add_epi16(dc, step), lanes.shift[c]);
}

__m256i blendNarrowLanesWide(__m256i s, __m256i d, const NarrowLanesWide& lanes) {
    const __m256i out = _mm256_or_si256(
        _mm256_or_si256(narrowChannelWide(s, d, 0, lanes), narrowChannelWide(s, d, 1, lanes)),
        narrowChannelWide(s, d, 2, lanes));
    return selectLanes256(_mm256_cmpeq_epi16(s, _mm256_setzero_si256()), d, out);
}

// Sixteen, then eight pixels by wideLanes(s, d) and lanes(s, d), the rest one at a time.
template <typename WideLanes, typename Lanes>
void blendRowNarrow(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                    const ColorAlpha& k, WideLanes wideLanes, Lanes lanes) {
    int i = blendSixteenThenEight16(source, destination, width, wideLanes, lanes);
    for (; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, blendSinglePixel16(s, load16(d), layout.source, layout.destination, k));
    }
}

// Eight pixels by the masked lanes (masks that differ between the sides, or wider channels).
void blendRowMasked(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                    const ColorAlpha& k, const MaskedLanes& lanes) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendMaskedLanes(s, load128(d), lanes));
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, blendSinglePixel16(s, load16(d), layout.source, layout.destination, k));
    }
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
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
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const auto rows = [&](auto wideLanes, auto lanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowNarrow(s, d, w, layout, k, wideLanes, lanes);
        });
    };
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed)) {
        const PlacedConstants<LaneOps256> wide = makePlacedConstants<LaneOps256>(placed, k.alpha);
        const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, k.alpha);
        withPlacedShape(placed, [&](auto above8) {
            rows([&](__m256i s, __m256i d) { return blendPlacedChannels<LaneOps256, true, decltype(above8)::value>(s, d, wide); },
                 [&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, true, decltype(above8)::value>(s, d, lanes); });
        });
    } else if (hasNarrowChannels(layout)) {
        const NarrowLanes lanes = makeNarrowLanes(layout.destination, k);
        const NarrowLanesWide wide = widen(lanes);
        rows([&](__m256i s, __m256i d) { return blendNarrowLanesWide(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendNarrowLanes(s, d, lanes); });
    } else {
        const MaskedLanes lanes = makeMaskedLanes(layout, k);
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRowMasked(s, d, w, layout, k, lanes); });
    }
}

void twins::colourModulated32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k, lanes); });
}

}  // namespace ZelUISystem::blend
