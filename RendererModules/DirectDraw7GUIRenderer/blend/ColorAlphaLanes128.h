#pragma once
// The lane arithmetic of the colour-modulated kernel on 128-bit registers, shared by its SSE2
// and AVX2 twins. Include only from files built with SSE2 (or wider) flags.
//
// (555 and 565 are in ChannelsInPlace16.h.)
// 32-bit: the single-pixel formula on bytes widened to 16-bit lanes.

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

// s' = floor(s * f / 256), out = d + floor((s' - d) * a / 256) on widened bytes.
inline __m128i blendWidenedSingle(__m128i s, __m128i d, const SingleLanes& lanes) {
    const __m128i modulated = _mm_srli_epi16(_mm_mullo_epi16(s, lanes.factor), 8);
    return _mm_add_epi16(d, productDiv256(_mm_sub_epi16(modulated, d), lanes.alphaTimes2));
}

inline __m128i blendSingles32(__m128i s, __m128i d, const SingleLanes& lanes) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = blendWidenedSingle(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), lanes);
    const __m128i high = blendWidenedSingle(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), lanes);
    const __m128i bgr = _mm_set1_epi32(0x00FFFFFF);
    const __m128i blended = _mm_and_si128(_mm_packus_epi16(low, high), bgr);
    return selectLanes(_mm_cmpeq_epi32(_mm_and_si128(s, bgr), zero), d, blended);
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

inline MaskedLanes makeMaskedLanes(const BlendLayout& layout, const ColorAlpha& k) {
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

inline NarrowLanes makeNarrowLanes(const ChannelMasks16& masks, const ColorAlpha& k) {
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
