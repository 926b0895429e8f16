#pragma once
// The lane arithmetic of the colour-modulated kernel on 128-bit registers, shared by its SSE2
// and AVX2 twins. Include only from files built with SSE2 (or wider) flags.
//
// (555 and 565 are in ChannelsInPlace16.h.)
// 32-bit: the single-pixel formula on each byte in place.

#include <emmintrin.h>

#include <cstdint>

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

struct SingleLanes {
    __m128i factor;       // blue, green, red, 0 for each of two pixels
    __m128i alphaTimes2;  // 2a
};

// floor(v * a / 256) for |v| <= 255 and a <= 256: the top half of the signed product of
// v * 128 (which fits a lane) and 2a is floor(v * 256 * a / 65536).
inline __m128i productDiv256(__m128i v, __m128i alphaTimes2) {
    return _mm_mulhi_epi16(_mm_slli_epi16(v, 7), alphaTimes2);
}

// 32-bit pixels in place, as the alpha kernel's bytewiseProducts (AlphaLanes128.h): each 16-bit
// lane holds an even byte (blue or red) low and an odd one (green or the top byte) high.
//   s' = floor(s * f / 256): the top half of (s << 8) * f for the even byte, of
//        (s AND 0xFF00) * f for the odd one (the top byte's factor is 0, so s' is 0 there);
//   out = d + floor((s' - d) * a / 256) on each byte taken down to a lane of its own. The top
// byte's lane takes a = 256, which gives out = s' = 0 there, the 0 the formula's top byte needs.
inline __m128i blendSingles32(__m128i s, __m128i d, const SingleLanes& lanes) {
    const __m128i evenFactor = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes.factor, 0x88), 0x88);
    const __m128i oddFactor = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes.factor, 0xDD), 0xDD);
    const __m128i oddAlphaTimes2 = _mm_or_si128(_mm_and_si128(lanes.alphaTimes2, _mm_set1_epi32(0xFFFF)),
                                                _mm_set1_epi32(512 << 16));
    const __m128i lowByte = _mm_set1_epi16(0x00FF);
    const __m128i sEven = _mm_mulhi_epu16(_mm_slli_epi16(s, 8), evenFactor);
    const __m128i sOdd = _mm_mulhi_epu16(_mm_andnot_si128(lowByte, s), oddFactor);
    const __m128i dEven = _mm_and_si128(d, lowByte);
    const __m128i dOdd = _mm_srli_epi16(d, 8);
    const __m128i even = _mm_add_epi16(dEven, productDiv256(_mm_sub_epi16(sEven, dEven), lanes.alphaTimes2));
    const __m128i odd = _mm_add_epi16(dOdd, productDiv256(_mm_sub_epi16(sOdd, dOdd), oddAlphaTimes2));
    const __m128i blended = _mm_or_si128(even, _mm_slli_epi16(odd, 8));
    const __m128i transparent =
        _mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), _mm_setzero_si128());
    return selectLanes(transparent, d, blended);
}

// 16-bit pixels with other masks.

// The single-pixel formula of one channel at its own bit position in every 16-bit lane:
//   s' = (floor((s AND source mask) * f / 256)) AND source mask, dc = d AND destination mask,
//   out = (floor((s' - dc) * a / 256) + dc) AND destination mask.
// Only the low 16 bits of out matter. With v = s' - dc taken modulo 2^16, floor(v * a / 256)
// is floor(v16 * a / 256) when s' >= dc, and 256 * a less when the difference is negative.
struct MaskedLanes {
    __m128i sourceMask[3];
    __m128i destinationMask[3];
    __m128i factor[3];
    __m128i alpha;
    __m128i alphaTimes256;
};

// floor(v * m / 256) modulo 2^16 for unsigned 16-bit v and m <= 256.
inline __m128i unsignedProductDiv256(__m128i v, __m128i m) {
    return _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epu16(v, m), 8), _mm_srli_epi16(_mm_mullo_epi16(v, m), 8));
}

inline __m128i maskedChannel(__m128i s, __m128i d, int c, const MaskedLanes& lanes) {
    const __m128i modulated =
        _mm_and_si128(unsignedProductDiv256(_mm_and_si128(s, lanes.sourceMask[c]), lanes.factor[c]), lanes.sourceMask[c]);
    const __m128i dc = _mm_and_si128(d, lanes.destinationMask[c]);
    const __m128i negative = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(dc, modulated), _mm_setzero_si128()),
                                           _mm_set1_epi16(-1));
    const __m128i moved = _mm_sub_epi16(unsignedProductDiv256(_mm_sub_epi16(modulated, dc), lanes.alpha),
                                        _mm_and_si128(negative, lanes.alphaTimes256));
    return _mm_and_si128(_mm_add_epi16(moved, dc), lanes.destinationMask[c]);
}

inline __m128i blendMaskedLanes(__m128i s, __m128i d, const MaskedLanes& lanes) {
    const __m128i out = _mm_or_si128(_mm_or_si128(maskedChannel(s, d, 0, lanes), maskedChannel(s, d, 1, lanes)),
                                     maskedChannel(s, d, 2, lanes));
    return selectLanes(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, out);
}

inline MaskedLanes makeMaskedLanes(const BlendLayout& layout, const ColourAlpha& k) {
    const std::uint32_t sourceMasks[3] = {layout.source.red, layout.source.green, layout.source.blue};
    const std::uint32_t destinationMasks[3] = {layout.destination.red, layout.destination.green,
                                               layout.destination.blue};
    const std::uint32_t factors[3] = {k.red, k.green, k.blue};
    MaskedLanes lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.sourceMask[c] = _mm_set1_epi16(static_cast<short>(sourceMasks[c]));
        lanes.destinationMask[c] = _mm_set1_epi16(static_cast<short>(destinationMasks[c]));
        lanes.factor[c] = _mm_set1_epi16(static_cast<short>(factors[c]));
    }
    lanes.alpha = _mm_set1_epi16(static_cast<short>(k.alpha));
    lanes.alphaTimes256 = _mm_set1_epi16(static_cast<short>((k.alpha << 8) & 0xFFFFu));
    return lanes;
}

// The common case of other masks: both sides share them and each is a run of at most 8 bits.
// Then the single-pixel formula of a channel at bit p equals the formula on the channel taken
// down to bit 0 and put back (floor(floor(x * 2^p) / 2^p) = floor(x), and every result stays in
// the channel), which fits 16-bit lanes: s' = floor(s * f / 256) at most 255, and
// floor((s' - d) * a / 256) is the top half of (s' - d) * 128 times 2a.
struct NarrowLanes {
    __m128i mask[3];
    __m128i shift[3];
    __m128i factor[3];
    __m128i alphaTimes2;
};

inline bool isNarrowRun(std::uint32_t mask) {
    const std::uint32_t run = mask >> lowestSetBit(mask);
    return run < 256 && (run & (run + 1)) == 0;
}

inline bool hasNarrowChannels(const BlendLayout& layout) {
    const ChannelMasks16& s = layout.source;
    const ChannelMasks16& d = layout.destination;
    return s.red == d.red && s.green == d.green && s.blue == d.blue && isNarrowRun(d.red) &&
           isNarrowRun(d.green) && isNarrowRun(d.blue);
}

inline NarrowLanes makeNarrowLanes(const ChannelMasks16& masks, const ColourAlpha& k) {
    const std::uint32_t channelMasks[3] = {masks.red, masks.green, masks.blue};
    const std::uint32_t factors[3] = {k.red, k.green, k.blue};
    NarrowLanes lanes;
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = _mm_set1_epi16(static_cast<short>(channelMasks[c]));
        lanes.shift[c] = _mm_cvtsi32_si128(static_cast<int>(lowestSetBit(channelMasks[c])));
        lanes.factor[c] = _mm_set1_epi16(static_cast<short>(factors[c]));
    }
    lanes.alphaTimes2 = _mm_set1_epi16(static_cast<short>(k.alpha * 2));
    return lanes;
}

inline __m128i narrowChannel(__m128i s, __m128i d, int c, const NarrowLanes& lanes) {
    const __m128i sc = _mm_srl_epi16(_mm_and_si128(s, lanes.mask[c]), lanes.shift[c]);
    const __m128i dc = _mm_srl_epi16(_mm_and_si128(d, lanes.mask[c]), lanes.shift[c]);
    const __m128i modulated = _mm_srli_epi16(_mm_mullo_epi16(sc, lanes.factor[c]), 8);
    const __m128i step = _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(modulated, dc), 7), lanes.alphaTimes2);
    return _mm_sll_epi16(_mm_add_epi16(dc, step), lanes.shift[c]);
}

inline __m128i blendNarrowLanes(__m128i s, __m128i d, const NarrowLanes& lanes) {
    const __m128i out = _mm_or_si128(_mm_or_si128(narrowChannel(s, d, 0, lanes), narrowChannel(s, d, 1, lanes)),
                                     narrowChannel(s, d, 2, lanes));
    return selectLanes(_mm_cmpeq_epi16(s, _mm_setzero_si128()), d, out);
}

}  // namespace
}  // namespace ZelUISystem::blend
