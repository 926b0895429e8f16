#pragma once
// The lane arithmetic of the MMX constant-alpha kernel on 128-bit registers, shared by its
// SSE2 and AVX2 twins (the AVX2 one uses it for the pixels left over by its wide loop).
// Include only from files built with SSE2 (or wider) flags.
//
// 16-bit layouts: out = d + floor((s - d) * a / 256) per channel, as a signed lane product
// and an arithmetic shift; lanes whose source pixel is 0 keep the destination.
// 32-bit pairs: out = d + floor(s*a/256) - floor(d*a/256) per byte, in place; the top byte has
// alpha 0 and keeps the destination's value.

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

// 32-bit pixels are worked on in place, without widening: each 16-bit lane holds an even byte
// (blue or red) low and an odd byte (green or the top byte) high, and
//   floor(x * m / 256) = the top half of (x << 8) * m         for the even byte x,
//                      = the top half of (x AND 0xFF00) * m   for the odd byte,
// exactly, for every m up to 256. Alpha lanes hold a, a, a, 0 per pixel, the multiplier of blue,
// green, red and the top byte; evenOf/oddOf pick those of the even and the odd bytes.
inline __m128i evenOf(__m128i byteLanes) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(byteLanes, 0x88), 0x88);
}

inline __m128i oddOf(__m128i byteLanes) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(byteLanes, 0xDD), 0xDD);
}

// floor(x * m / 256) for every byte x, each back in its own byte.
inline __m128i bytewiseProducts(__m128i x, __m128i evenMultiplier, __m128i oddMultiplier) {
    const __m128i even = _mm_mulhi_epu16(_mm_slli_epi16(x, 8), evenMultiplier);
    const __m128i odd = _mm_mulhi_epu16(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xFF00))), oddMultiplier);
    return _mm_or_si128(even, _mm_slli_epi16(odd, 8));
}

// Pair formula for four 32-bit pixels, d + floor(s*a/256) - floor(d*a/256) per byte; the top
// byte has alpha 0 and keeps its value. The result always lies in 0..255 (floor(d*a/256) <= d,
// and floor(s*a/256) + d - floor(d*a/256) <= 255), so byte arithmetic that wraps gives it
// exactly: the same bytes as the MMX kernel's widened lanes and saturating pack.
inline __m128i blendPairs32(__m128i s, __m128i d, __m128i alpha) {
    const __m128i even = evenOf(alpha);
    const __m128i odd = oddOf(alpha);
    const __m128i blended =
        _mm_sub_epi8(_mm_add_epi8(d, bytewiseProducts(s, even, odd)), bytewiseProducts(d, even, odd));
    const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), _mm_setzero_si128());
    return selectLanes(transparent, d, blended);
}

}  // namespace
}  // namespace ZelUISystem::blend
