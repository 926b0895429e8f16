// AVX2 twin of BlendAlphaMMX: the lane arithmetic of ChannelsInPlace16.h, AlphaLanes128.h and
// Lanes32Wide.h on sixteen 16-bit or eight 32-bit pixels per register. Pixels left over by the
// wide loop take the 128-bit, then 64-bit steps, then the scalar code, exactly as the SSE2 twin;
// it is not offered for 24-bit rows.

#include <immintrin.h>

#include "blend/AlphaLanes128.h"
#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
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

struct Lanes16Wide {
    __m256i mask[3];
    __m128i shift[3];
    __m256i alpha;
};

Lanes16Wide widen(const Lanes16& lanes) {
    Lanes16Wide wide;
    for (int c = 0; c < 3; ++c) {
        wide.mask[c] = _mm256_broadcastsi128_si256(lanes.mask[c]);
        wide.shift[c] = lanes.shift[c];
    }
    wide.alpha = _mm256_broadcastsi128_si256(lanes.alpha);
    return wide;
}

__m256i blendLanes16Wide(__m256i s, __m256i d, const Lanes16Wide& lanes) {
    __m256i out = _mm256_setzero_si256();
    for (int c = 0; c < 3; ++c) {
        const __m256i sc = _mm256_srl_epi16(_mm256_and_si256(s, lanes.mask[c]), lanes.shift[c]);
        const __m256i dc = _mm256_srl_epi16(_mm256_and_si256(d, lanes.mask[c]), lanes.shift[c]);
        const __m256i step = _mm256_srai_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(sc, dc), lanes.alpha), 8);
        out = _mm256_or_si256(out, _mm256_sll_epi16(_mm256_add_epi16(dc, step), lanes.shift[c]));
    }
    return selectLanes256(_mm256_cmpeq_epi16(s, _mm256_setzero_si256()), d, out);
}

// wideLanes(s, d) and lanes(s, d): the group formula for the row's layout on 256 and 128 bits.
template <typename WideLanes, typename Lanes>
void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const Params16& p,
                WideLanes wideLanes, Lanes lanes) {
    const int grouped = width / 4 * 4;
    int i = blendSixteenThenEight16(source, destination, grouped, wideLanes, lanes);
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        store64Low(d, lanes(load64Low(source + 2 * i), load64Low(d)));
        i = grouped;
    }
    for (; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, p.sourceMasks, p.destinationMasks, p.alpha);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m128i alpha,
                std::uint32_t a) {
    const __m256i wideAlpha = _mm256_broadcastsi128_si256(alpha);
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        store256(d, blendPairs32Wide(load256(source + 4 * i), load256(d), wideAlpha));
    }
    if (i + 4 <= paired) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendPairs32(load128(source + 4 * i), load128(d), alpha));
        i += 4;
    }
    if (i < paired) {
        std::uint8_t* d = destination + 4 * i;
        store64Low(d, blendPairs32(load64Low(source + 4 * i), load64Low(d), alpha));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
}

void twins::alpha16Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    // Groups use the destination's masks on both sides.
    const Params16 params{makeLanes16(layout.destination, a), layout.source, layout.destination, a};
    const auto rows = [&](auto wideLanes, auto lanes) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRow16(s, d, w, params, wideLanes, lanes);
        });
    };
    const FixedAlphaConstants<LaneOps256> fixedWide = makeFixedAlphaConstants<LaneOps256>(a);
    const FixedAlphaConstants<LaneOps128> fixed = makeFixedAlphaConstants<LaneOps128>(a);
    if (layout.mode == DDS_RGBMODE_565) {
        rows([&](__m256i s, __m256i d) { return blendFixedAlphaInPlace<LaneOps256, true>(s, d, fixedWide); },
             [&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<LaneOps128, true>(s, d, fixed); });
    } else if (layout.mode == DDS_RGBMODE_555) {
        rows([&](__m256i s, __m256i d) { return blendFixedAlphaInPlace<LaneOps256, false>(s, d, fixedWide); },
             [&](__m128i s, __m128i d) { return blendFixedAlphaInPlace<LaneOps128, false>(s, d, fixed); });
    } else if (PlacedChannels placed; placeChannels(layout.destination, 0, 0, 0, placed)) {
        const PlacedConstants<LaneOps256> wide = makePlacedConstants<LaneOps256>(placed, a);
        const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, a);
        withPlacedShape(placed, [&](auto above8) {
            rows([&](__m256i s, __m256i d) { return blendPlacedChannels<LaneOps256, false, decltype(above8)::value>(s, d, wide); },
                 [&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, false, decltype(above8)::value>(s, d, lanes); });
        });
    } else {
        const Lanes16Wide wide = widen(params.lanes);
        rows([&](__m256i s, __m256i d) { return blendLanes16Wide(s, d, wide); },
             [&](__m128i s, __m128i d) { return blendLanes16(s, d, params.lanes); });
    }
}

}  // namespace ZelUISystem::blend
