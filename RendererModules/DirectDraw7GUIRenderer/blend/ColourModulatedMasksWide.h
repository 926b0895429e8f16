#pragma once
// The colour-modulated kernel on 16-bit pixels with other masks, sixteen pixels per 256-bit
// register, for the AVX2 and AVX-512 twins alike: each brings its own rows for the layouts whose
// channels ChannelsInPlace16.h can place; the others take the channel-by-channel lanes of
// ColorAlphaLanes128.h here. Include only from files built with AVX2 (or wider) flags.

#include <immintrin.h>

#include <cstdint>

#include "blend/Avx2Lanes.h"
#include "blend/BlendCore.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/PixelAccess.h"
#include "blend/Rows16Wide.h"
#include "blend/Sse2Lanes.h"
// The 256-bit overloads first: ChannelsInPlace16.h's templates see only those declared before.
#include "blend/LaneOps16.h"
#include "blend/LaneOps16Wide.h"
#include "blend/ChannelsInPlace16.h"

namespace ZelUISystem::blend {
namespace {

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
                    const ColourAlpha& k, WideLanes wideLanes, Lanes lanes) {
    int i = blendSixteenThenEight16(source, destination, width, wideLanes, lanes);
    for (; i < width; ++i) blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
}

// Eight pixels by the masked lanes (masks that differ between the sides, or wider channels).
void blendRowMasked(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                    const ColourAlpha& k, const MaskedLanes& lanes) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendMaskedLanes(s, load128(d), lanes));
    }
    for (; i < width; ++i) blendSingle16At(source + 2 * i, destination + 2 * i, layout.source, layout.destination, k);
}

// Sixteen, then eight pixels of every row by wideLanes(s, d) and lanes(s, d), the rest one at a time.
template <typename WideLanes, typename Lanes>
void narrowRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k, WideLanes wideLanes,
                Lanes lanes) {
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        blendRowNarrow(s, d, w, layout, k, wideLanes, lanes);
    });
}

// The placed channels by the multiplications of ChannelsInPlace16.h.
inline void placedMultipliedRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k,
                                 const PlacedChannels& placed) {
    const PlacedConstants<LaneOps256> wide = makePlacedConstants<LaneOps256>(placed, k.alpha);
    const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, k.alpha);
    withPlacedShape(placed, [&](auto above8) {
        narrowRows(area, layout, k,
                   [&](__m256i s, __m256i d) { return blendPlacedChannels<LaneOps256, true, decltype(above8)::value>(s, d, wide); },
                   [&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, true, decltype(above8)::value>(s, d, lanes); });
    });
}

// placedRows(k, placed) blends the area when both sides share masks that placeChannels accepts.
template <typename PlacedRows>
void colourModulatedMasksWide(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p,
                              PlacedRows placedRows) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed)) {
        placedRows(k, placed);
    } else if (hasNarrowChannels(layout)) {
        const NarrowLanes lanes = makeNarrowLanes(layout.destination, k);
        const NarrowLanesWide wide = widen(lanes);
        narrowRows(area, layout, k, [&](__m256i s, __m256i d) { return blendNarrowLanesWide(s, d, wide); },
                   [&](__m128i s, __m128i d) { return blendNarrowLanes(s, d, lanes); });
    } else {
        const MaskedLanes lanes = makeMaskedLanes(layout, k);
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRowMasked(s, d, w, layout, k, lanes); });
    }
}

}  // namespace
}  // namespace ZelUISystem::blend
