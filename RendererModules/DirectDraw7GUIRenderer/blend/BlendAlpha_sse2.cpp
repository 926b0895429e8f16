// SSE2 twin of BlendAlphaMMX: the same lane arithmetic (ChannelsInPlace16.h, AlphaLanes128.h)
// on eight 16-bit or four 32-bit pixels per register. Pixels the MMX kernel handles in groups (16-bit) or pairs (32-bit) get the
// group or pair formula here too, eight or four at a time and then one 64-bit step; pixels it
// handles one at a time get the same scalar code. It is not offered for 24-bit rows, which the
// MMX kernel does pixel by pixel.

#include "blend/AlphaLanes128.h"
#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ChannelsInPlace16.h"
#include "blend/LaneOps16.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

// blendLanes(s, d) is the group formula for the row's layout.
template <typename Lanes>
void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const Params16& p,
                Lanes blendLanes) {
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendLanes(s, load128(d)));
    }
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        store64Low(d, blendLanes(load64Low(source + 2 * i), load64Low(d)));
        i = grouped;
    }
    for (; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, p.sourceMasks, p.destinationMasks, p.alpha);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m128i alpha,
                std::uint32_t a) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 4 <= paired; i += 4) {
        const __m128i s = load128(source + 4 * i);
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendPairs32(s, load128(d), alpha));
    }
    if (i < paired) {
        std::uint8_t* d = destination + 4 * i;
        store64Low(d, blendPairs32(load64Low(source + 4 * i), load64Low(d), alpha));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
}

void twins::alpha16Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    // Groups use the destination's masks on both sides.
    const Params16 params{makeLanes16(layout.destination, a), layout.source, layout.destination, a};
    const FixedAlphaConstants<LaneOps128> fixed = makeFixedAlphaConstants<LaneOps128>(a);
    const auto rows = [&](auto blendLanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow16(s, d, w, params, blendLanes); });
    };
    if (layout.mode == DDS_RGBMODE_565) {
        rows([&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<LaneOps128, true>(s, d, fixed); });
    } else if (layout.mode == DDS_RGBMODE_555) {
        rows([&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<LaneOps128, false>(s, d, fixed); });
    } else if (PlacedChannels placed; placeChannels(layout.destination, 0, 0, 0, placed)) {
        const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, a);
        withPlacedShape(placed, [&](auto above8) {
            rows([&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, false, decltype(above8)::value>(s, d, lanes); });
        });
    } else {
        rows([&](__m128i s, __m128i d) { return blendLanes16(s, d, params.lanes); });
    }
}

}  // namespace ZelUISystem::blend
