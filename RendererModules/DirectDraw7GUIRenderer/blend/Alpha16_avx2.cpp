// AVX2 twins of BlendAlphaMMX for the 16-bit layouts, one per layout: the MMX kernel's group
// formula (Registers16.h) on sixteen pixels per 256-bit register. Pixels left over by the wide
// loop take the 128-bit, then 64-bit steps, then the scalar code, exactly as the SSE2 twins.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

namespace {

// wideLanes(s, d) and lanes(s, d): the group formula for the row's layout on 256 and 128 bits.
template <typename WideLanes, typename Lanes>
void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                std::uint32_t a, WideLanes wideLanes, Lanes lanes) {
    const int grouped = width / 4 * 4;
    int i = blendSixteenThenEight16(source, destination, grouped, wideLanes, lanes);
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        Vec128::storeLow(d, lanes(Vec128::loadLow(source + 2 * i), Vec128::loadLow(d)));
        i = grouped;
    }
    for (; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, layout.source, layout.destination, a);
}

template <typename WideLanes, typename Lanes>
void blendRows16(const BlendArea& area, const BlendLayout& layout, std::uint32_t a, WideLanes wideLanes, Lanes lanes) {
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        blendRow16(s, d, w, layout, a, wideLanes, lanes);
    });
}

template <bool Is565>
void alphaInPlace(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const FixedAlphaConstants<Vec256> fixedWide = makeFixedAlphaConstants<Vec256>(a);
    const FixedAlphaConstants<Vec128> fixed = makeFixedAlphaConstants<Vec128>(a);
    blendRows16(
        area, layout, a, [&](__m256i s, __m256i d) { return blendFixedAlphaInPlace<Vec256, Is565>(s, d, fixedWide); },
        [&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<Vec128, Is565>(s, d, fixed); });
}

}  // namespace

void twins::alpha555Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    alphaInPlace<false>(area, layout, p);
}

void twins::alpha565Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    alphaInPlace<true>(area, layout, p);
}

// Groups use the destination's masks on both sides: in place where its channels are placed,
// channel by channel otherwise.
void twins::alphaMasksAvx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    if (PlacedChannels placed; placeChannels(layout.destination, 0, 0, 0, placed)) {
        const PlacedConstants<Vec256> wide = makePlacedConstants<Vec256>(placed, a);
        const PlacedConstants<Vec128> lanes = makePlacedConstants<Vec128>(placed, a);
        withPlacedShape(placed, [&](auto above8) {
            blendRows16(
                area, layout, a,
                [&](__m256i s, __m256i d) { return blendPlacedChannels<Vec256, false, decltype(above8)::value>(s, d, wide); },
                [&](__m128i s, __m128i d) { return blendPlacedChannels<Vec128, false, decltype(above8)::value>(s, d, lanes); });
        });
    } else {
        const Lanes16<Vec256> wide = makeLanes16<Vec256>(layout.destination, a);
        const Lanes16<Vec128> lanes = makeLanes16<Vec128>(layout.destination, a);
        blendRows16(
            area, layout, a, [&](__m256i s, __m256i d) { return blendLanes16<Vec256>(s, d, wide); },
            [&](__m128i s, __m128i d) { return blendLanes16<Vec128>(s, d, lanes); });
    }
}

}  // namespace ZelUISystem::blend
