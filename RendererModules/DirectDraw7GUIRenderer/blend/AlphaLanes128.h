#pragma once
// The lane arithmetic of the MMX constant-alpha kernel on 128-bit registers, shared by its
// SSE2 and AVX2 twins (the AVX2 one uses it for the pixels left over by its wide loop).
// Include only from files built with SSE2 (or wider) flags.
//
// 16-bit layouts: out = d + floor((s - d) * a / 256) per channel, as a signed lane product
// and an arithmetic shift; lanes whose source pixel is 0 keep the destination.
// 32-bit pairs: out = d + floor(s*a/256) - floor(d*a/256) on bytes widened to 16-bit lanes;
// the top byte's lane has alpha 0 and keeps the destination's value.

#include <emmintrin.h>

#include <cstdint>

#include "blend/BlendMath.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

struct Lanes16 {
    __m128i mask[3];
    __m128i shift[3];
    __m128i alpha;
};

inline Lanes16 makeLanes16(const ChannelMasks16& masks, std::uint32_t a) {
    const std::uint32_t channelMasks[3] = {masks.red, masks.green, masks.blue};
    Lanes16 lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = _mm_set1_epi16(static_cast<short>(channelMasks[c]));
        lanes.shift[c] = _mm_cvtsi32_si128(static_cast<int>(lowestSetBit(channelMasks[c])));
    }
    lanes.alpha = _mm_set1_epi16(static_cast<short>(a));
    return lanes;
}

// out = d + floor((s - d) * a / 256) per channel, as a signed lane product and an
// arithmetic shift; lanes whose source pixel is 0 keep the destination.
inline __m128i blendLanes16(__m128i s, __m128i d, const Lanes16& lanes) {
    __m128i out = _mm_setzero_si128();
    for (int c = 0; c < 3; ++c) {
        const __m128i sc = _mm_srl_epi16(_mm_and_si128(s, lanes.mask[c]), lanes.shift[c]);
        const __m128i dc = _mm_srl_epi16(_mm_and_si128(d, lanes.mask[c]), lanes.shift[c]);
        const __m128i step = _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(sc, dc), lanes.alpha), 8);
        out = _mm_or_si128(out, _mm_sll_epi16(_mm_add_epi16(dc, step), lanes.shift[c]));
    }
    return selectLanes(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, out);
}

// (555 and 565 with the shifts fixed: ChannelsInPlace16.h.)

struct Params16 {
    Lanes16 lanes;
    ChannelMasks16 sourceMasks;
    ChannelMasks16 destinationMasks;
    std::uint32_t alpha;
};

// d + floor(s*a/256) - floor(d*a/256) on bytes widened to 16-bit lanes.
inline __m128i blendWidenedBytes(__m128i s, __m128i d, __m128i alpha) {
    const __m128i sa = _mm_srli_epi16(_mm_mullo_epi16(s, alpha), 8);
    const __m128i da = _mm_srli_epi16(_mm_mullo_epi16(d, alpha), 8);
    return _mm_sub_epi16(_mm_add_epi16(d, sa), da);
}

// Pair formula for four 32-bit pixels; the top byte's lane has alpha 0 and keeps its value.
inline __m128i blendPairs32(__m128i s, __m128i d, __m128i alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = blendWidenedBytes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), alpha);
    const __m128i high = blendWidenedBytes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), alpha);
    const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), zero);
    return selectLanes(transparent, d, _mm_packus_epi16(low, high));
}

}  // namespace
}  // namespace ZelUISystem::blend
