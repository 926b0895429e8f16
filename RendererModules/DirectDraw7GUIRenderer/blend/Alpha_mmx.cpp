// The constant-alpha kernel, BlendAlphaMMX, and the reference its twins must equal, bytes and
// all: MMX, four 16-bit or two 32-bit pixels per 64-bit register.
//
// 16-bit layouts: each channel is isolated in every 16-bit lane, the signed lane product
// (s - d) * a is shifted arithmetically by 8, so out = d + floor((s - d) * a / 256); with
// channels of at most 7 bits and a <= 256 the product fits a signed lane. Lanes whose source
// pixel is 0 are restored from the destination by a compare and a select.
// 24- and 32-bit pairs: bytes widen to 16-bit lanes, out = d + floor(s*a/256) - floor(d*a/256),
// which needs no sign; the fourth byte's lane has alpha 0, so it keeps the destination's top
// byte. The odd last 32-bit pixel uses d + floor((s - d) * a / 256) with top byte 0 instead, so
// the two can differ by one.
// MMX shares its registers with the x87 stack: EMMS runs after each row's MMX loop, before
// any scalar code, and so before the call returns.

#include <mmintrin.h>

#include "blend/PixelFormulas.h"
#include "blend/RGBMode.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {

namespace {

// Lane constants of one 16-bit layout, built once per call.
struct Lanes16 {
    __m64 mask[3];
    __m64 shift[3];
    __m64 alpha;
};

Lanes16 makeLanes16(const ChannelMasks16& masks, std::uint32_t a) {
    const std::uint32_t channelMasks[3] = {masks.red, masks.green, masks.blue};
    Lanes16 lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = _mm_set1_pi16(static_cast<short>(channelMasks[c]));
        lanes.shift[c] = _mm_cvtsi32_si64(static_cast<int>(lowestSetBit(channelMasks[c])));
    }
    lanes.alpha = _mm_set1_pi16(static_cast<short>(a));
    return lanes;
}

__m64 blendChannelLanes(__m64 s, __m64 d, __m64 mask, __m64 shift, __m64 alpha) {
    const __m64 sc = _mm_srl_pi16(_mm_and_si64(s, mask), shift);
    const __m64 dc = _mm_srl_pi16(_mm_and_si64(d, mask), shift);
    const __m64 step = _mm_srai_pi16(_mm_mullo_pi16(_mm_sub_pi16(sc, dc), alpha), 8);
    return _mm_sll_pi16(_mm_add_pi16(dc, step), shift);
}

__m64 blendGroup16(__m64 s, __m64 d, const Lanes16& lanes) {
    __m64 out = _mm_setzero_si64();
    for (int c = 0; c < 3; ++c)
        out = _mm_or_si64(out, blendChannelLanes(s, d, lanes.mask[c], lanes.shift[c], lanes.alpha));
    return selectLanes(_mm_cmpeq_pi16(s, _mm_setzero_si64()), d, out);
}

struct Params16 {
    Lanes16 lanes;
    ChannelMasks16 sourceMasks;
    ChannelMasks16 destinationMasks;
    std::uint32_t alpha;
};

void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const Params16& p) {
    const int groups = width / 4;
    for (int i = 0; i < groups; ++i) {
        const std::uint8_t* s = source + 8 * i;
        if (isZero64(s)) continue;
        std::uint8_t* d = destination + 8 * i;
        store64(d, blendGroup16(load64(s), load64(d), p.lanes));
    }
    _mm_empty();
    for (int i = 4 * groups; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, p.sourceMasks, p.destinationMasks, p.alpha);
}

// d + floor(s*a/256) - floor(d*a/256) on bytes widened to 16-bit lanes.
__m64 blendWidenedBytes(__m64 s, __m64 d, __m64 alpha) {
    const __m64 sa = _mm_srli_pi16(_mm_mullo_pi16(s, alpha), 8);
    const __m64 da = _mm_srli_pi16(_mm_mullo_pi16(d, alpha), 8);
    return _mm_sub_pi16(_mm_add_pi16(d, sa), da);
}

void blendRow24(const std::uint8_t* source, std::uint8_t* destination, int width, __m64 alpha) {
    const __m64 zero = _mm_setzero_si64();
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        const __m64 sw = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(s)), zero);
        const __m64 dw = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(load24(d))), zero);
        const __m64 out = _mm_packs_pu16(blendWidenedBytes(sw, dw, alpha), zero);
        store24(d, static_cast<std::uint32_t>(_mm_cvtsi64_si32(out)));
    }
    _mm_empty();
}

__m64 blendPair32(__m64 s, __m64 d, __m64 alpha) {
    const __m64 zero = _mm_setzero_si64();
    const __m64 low = blendWidenedBytes(_mm_unpacklo_pi8(s, zero), _mm_unpacklo_pi8(d, zero), alpha);
    const __m64 high = blendWidenedBytes(_mm_unpackhi_pi8(s, zero), _mm_unpackhi_pi8(d, zero), alpha);
    const __m64 bgr = _mm_set1_pi32(0x00FFFFFF);
    const __m64 transparent = _mm_cmpeq_pi32(_mm_and_si64(s, bgr), zero);
    return selectLanes(transparent, d, _mm_packs_pu16(low, high));
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m64 alpha,
                std::uint32_t a) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const std::uint8_t* s = source + 8 * i;
        if (isBgrZero64(s)) continue;
        std::uint8_t* d = destination + 8 * i;
        store64(d, blendPair32(load64(s), load64(d), alpha));
    }
    _mm_empty();
    if (width % 2 != 0) blendLast32(source + 8 * pairs, destination + 8 * pairs, a);
}

}  // namespace

void alphaMmx(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    if (layout.mode == DDS_RGBMODE_24 || layout.mode == DDS_RGBMODE_32) {
        // Blue, green and red lanes carry alpha; the fourth byte's lane carries 0.
        const __m64 alphaLanes = _mm_set_pi16(0, static_cast<short>(a), static_cast<short>(a),
                                              static_cast<short>(a));
        if (layout.mode == DDS_RGBMODE_24)
            forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow24(s, d, w, alphaLanes); });
        else
            forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
    } else {
        // Groups use the destination's masks on both sides.
        const Params16 params{makeLanes16(layout.destination, a), layout.source, layout.destination, a};
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow16(s, d, w, params); });
    }
    _mm_empty();
}

}  // namespace ZelUISystem::blend
