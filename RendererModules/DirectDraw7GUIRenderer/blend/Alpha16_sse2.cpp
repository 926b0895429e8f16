// SSE2 twins of BlendAlphaMMX for the 16-bit layouts, one per layout: the MMX kernel's group
// formula (Registers16.h) on eight pixels per 128-bit register. Pixels the MMX kernel handles in
// groups of four get the group formula here too, eight at a time and then one 64-bit step;
// pixels it handles one at a time get the same scalar code.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

namespace {

// blendLanes(s, d) is the group formula for the row's layout.
template <typename Lanes>
void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                std::uint32_t a, Lanes blendLanes) {
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i s = Vec128::load(source + 2 * i);
        if (Vec128::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        Vec128::store(d, blendLanes(s, Vec128::load(d)));
    }
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        Vec128::storeLow(d, blendLanes(Vec128::loadLow(source + 2 * i), Vec128::loadLow(d)));
        i = grouped;
    }
    for (; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, layout.source, layout.destination, a);
}

template <typename Lanes>
void blendRows16(const BlendArea& area, const BlendLayout& layout, std::uint32_t a, Lanes blendLanes) {
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow16(s, d, w, layout, a, blendLanes); });
}

template <bool Is565>
void alphaInPlace(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const FixedAlphaConstants<Vec128> fixed = makeFixedAlphaConstants<Vec128>(a);
    blendRows16(area, layout, a, [&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<Vec128, Is565>(s, d, fixed); });
}

}  // namespace

void twins::alpha555Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    alphaInPlace<false>(area, layout, p);
}

void twins::alpha565Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    alphaInPlace<true>(area, layout, p);
}

// Groups use the destination's masks on both sides: in place where its channels are placed,
// channel by channel otherwise.
void twins::alphaMasksSse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    if (PlacedChannels placed; placeChannels(layout.destination, 0, 0, 0, placed)) {
        const PlacedConstants<Vec128> lanes = makePlacedConstants<Vec128>(placed, a);
        withPlacedShape(placed, [&](auto above8) {
            blendRows16(area, layout, a, [&](__m128i s, __m128i d) {
                return blendPlacedChannels<Vec128, false, decltype(above8)::value>(s, d, lanes);
            });
        });
    } else {
        const Lanes16<Vec128> lanes = makeLanes16<Vec128>(layout.destination, a);
        blendRows16(area, layout, a, [&](__m128i s, __m128i d) { return blendLanes16<Vec128>(s, d, lanes); });
    }
}

}  // namespace ZelUISystem::blend
