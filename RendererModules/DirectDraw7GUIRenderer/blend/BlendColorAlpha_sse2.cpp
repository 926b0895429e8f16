// SSE2 twin of BlendColorAlpha. In 555 and 565 each half of a pixel pair is an independent
// 16-bit computation (ColorAlphaPixel.h), so eight pixels of the pair region go through one
// register with exactly the per-half formula; the pairs left over and the odd last pixel take
// the integer code. 32-bit pixels use the single-pixel formula four at a time; so do 16-bit
// pixels with other masks, eight at a time, each channel at its own bit position. Factors
// above 255 are outside what this twin is offered for, and so is the 24-bit layout.

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

template <bool Is565>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColorAlpha& k, const PairLanes& lanes) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendPairLanes<Is565>(s, load128(d), lanes));
    }
    for (; i < paired; i += 2) {
        const std::uint32_t S = load32(source + 2 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store32(d, blendPair<Is565>(S, load32(d), k));
    }
    if (paired == width) return;
    const std::uint32_t s = load16(source + 2 * paired);
    if (s == 0) return;
    std::uint8_t* d = destination + 2 * paired;
    store16(d, blendSinglePixel16(s, load16(d), masks, masks, k));
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ColorAlpha& k,
                const SingleLanes& lanes) {
    int i = 0;
    for (; i + 4 <= width; i += 4) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendSingles32(load128(source + 4 * i), load128(d), lanes));
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendBgr(s, load32(d), k));
    }
}

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

MaskedLanes makeMaskedLanes(const BlendLayout& layout, const ColorAlpha& k) {
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

void blendRowMasks(const std::uint8_t* source, std::uint8_t* destination, int width, const BlendLayout& layout,
                   const ColorAlpha& k, const MaskedLanes& lanes) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendMaskedLanes(s, load128(d), lanes));
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, blendSinglePixel16(s, load16(d), layout.source, layout.destination, k));
    }
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairLanes lanes = makePairLanes(k);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        blendRowPairs<Is565>(s, d, w, layout.source, k, lanes);
    });
}

}  // namespace

void twins::colourModulated555Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

void twins::colourModulatedMasksSse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const MaskedLanes lanes = makeMaskedLanes(layout, k);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRowMasks(s, d, w, layout, k, lanes); });
}

void twins::colourModulated32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(a)};
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k, lanes); });
}

}  // namespace ZelUISystem::blend
