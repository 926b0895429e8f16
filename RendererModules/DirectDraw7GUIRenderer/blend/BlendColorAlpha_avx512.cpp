// AVX-512 twin of BlendColorAlpha for 555 and 565, on 256-bit registers (F, BW and VL). The pair
// path of ChannelsInPlace16.h, with two steps made cheaper by what AVX-512 adds:
//
// - A 5-bit channel's modulated and biased value m = floor((s * f + 64 * (f mod 4) + 64 * 256) / 256)
//   takes one of 32 values per quad, so it is looked up: the two-table word permutation reads
//   only the low five bits of each index lane, so the source shifted down is already the index.
//   565's 6-bit green keeps the multiplication of the 128-bit formula.
// - Transparent source pixels are left out of the store by its lane mask instead of being
//   merged back, and the same mask skips steps whose sixteen source pixels are all 0. The
//   pixels a row leaves over (fewer than sixteen, an even number) take one masked step; the
//   masked loads never touch memory outside the row. The odd last pixel of a row takes the
//   single-pixel formula, as in the reference.
//
// Everything else (t = m - d, the step floor(t * a / 256), the destination in place) is the
// formula of ChannelsInPlace16.h. Green of 555 is worked in place: its table holds m * 32, so
// t * 32 = table - (d AND green), and the unsigned high product with a * 8 is its step.

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "blend/BlendCore.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/ColourModulatedMasksWide.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {

namespace {

// 32 words as the two registers of the two-table permutation.
struct WordTable {
    __m256i low, high;

    __m256i lookUp(__m256i index) const { return _mm256_permutex2var_epi16(low, index, high); }
};

WordTable modulatedTable(std::uint32_t factor, unsigned scale) {
    alignas(32) std::uint16_t words[32];
    for (std::uint32_t s = 0; s < 32; ++s)
        words[s] = static_cast<std::uint16_t>(((s * factor + pairRoundAndBias(factor)) >> 8) << scale);
    return {_mm256_load_si256(reinterpret_cast<const __m256i*>(words)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(words + 16))};
}

__m256i splat16(std::uint32_t value) { return _mm256_set1_epi16(static_cast<short>(value & 0xFFFFu)); }

template <bool Is565>
struct PairTables {
    WordTable red, blue;
    WordTable green;           // 555: m * 32
    __m256i greenFactor;       // 565: f * 8
    __m256i greenShift;        // 565: 64 - floor(f / 4)
    __m256i alphaHigh;         // a * 256
    __m256i alphaHighGreen;    // 555: a * 8, for t * 32
    __m256i quarterAlphas;     // floor(a / 4) at every channel's bit 0
};

template <bool Is565>
PairTables<Is565> makePairTables(const ColorAlpha& k) {
    constexpr unsigned redShift = Is565 ? 11 : 10;
    const std::uint32_t quarter = k.alpha >> 2;
    PairTables<Is565> t;
    t.red = modulatedTable(k.red, 0);
    t.blue = modulatedTable(k.blue, 0);
    t.green = modulatedTable(Is565 ? 0 : k.green, 5);
    t.greenFactor = splat16(k.green << 3);
    t.greenShift = splat16(64u - (k.green >> 2));
    t.alphaHigh = splat16(k.alpha << 8);
    t.alphaHighGreen = splat16(k.alpha << 3);
    t.quarterAlphas = splat16((quarter << redShift) + (quarter << 5) + quarter);
    return t;
}

template <bool FullAlpha>
__m256i stepOf(__m256i t, __m256i alphaHigh) {
    return FullAlpha ? t : _mm256_mulhi_epu16(t, alphaHigh);
}

// Green's step at bit 5.
template <bool Is565, bool FullAlpha>
__m256i greenStepInPlace(__m256i S, __m256i d, const PairTables<Is565>& k) {
    if constexpr (Is565) {
        const __m256i sg = _mm256_ternarylogic_epi32(S, splat16(0x07E0), splat16(64 << 5), 0xEA);  // (S & field) | bias
        const __m256i dg = _mm256_and_si256(_mm256_srli_epi16(d, 5), splat16(0x3F));
        const __m256i tg = _mm256_add_epi16(_mm256_sub_epi16(_mm256_mulhi_epu16(sg, k.greenFactor), dg), k.greenShift);
        return _mm256_slli_epi16(stepOf<FullAlpha>(tg, k.alphaHigh), 5);
    } else {
        const __m256i tg = _mm256_sub_epi16(k.green.lookUp(_mm256_srli_epi16(S, 5)), _mm256_and_si256(d, splat16(0x03E0)));
        return FullAlpha ? tg : _mm256_slli_epi16(_mm256_mulhi_epu16(tg, k.alphaHighGreen), 5);
    }
}

// FullAlpha: a = 256.
template <bool Is565, bool FullAlpha>
__m256i blendPairsLookedUp(__m256i S, __m256i D, const PairTables<Is565>& k) {
    constexpr int redShift = Is565 ? 11 : 10;
    // 555 has bit 15 outside every channel: it must come out 0.
    const __m256i d = Is565 ? D : _mm256_and_si256(D, splat16(0x7FFF));
    const __m256i tr = _mm256_sub_epi16(k.red.lookUp(_mm256_srli_epi16(S, redShift)), _mm256_srli_epi16(d, redShift));
    const __m256i tb = _mm256_sub_epi16(k.blue.lookUp(S), _mm256_and_si256(d, splat16(0x1F)));
    const __m256i red = _mm256_slli_epi16(stepOf<FullAlpha>(tr, k.alphaHigh), redShift);
    const __m256i green = greenStepInPlace<Is565, FullAlpha>(S, d, k);
    const __m256i blue = stepOf<FullAlpha>(tb, k.alphaHigh);
    return _mm256_sub_epi16(_mm256_add_epi16(_mm256_add_epi16(d, red), _mm256_add_epi16(green, blue)),
                            k.quarterAlphas);
}

template <bool Is565, bool FullAlpha>
void blendPairsMasked(const std::uint8_t* source, std::uint8_t* destination, __mmask16 lanes,
                      const PairTables<Is565>& k) {
    const __m256i S = _mm256_maskz_loadu_epi16(lanes, source);
    const __mmask16 drawn = _mm256_test_epi16_mask(S, S);
    if (drawn == 0) return;
    const __m256i D = _mm256_maskz_loadu_epi16(drawn, destination);
    _mm256_mask_storeu_epi16(destination, drawn, blendPairsLookedUp<Is565, FullAlpha>(S, D, k));
}

template <bool Is565, bool FullAlpha>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width, const ChannelMasks16& masks,
                   const ColorAlpha& c, const PairTables<Is565>& k) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 16 <= paired; i += 16) blendPairsMasked<Is565, FullAlpha>(source + 2 * i, destination + 2 * i, 0xFFFF, k);
    if (i < paired) {
        const __mmask16 rest = static_cast<__mmask16>((1u << (paired - i)) - 1);
        blendPairsMasked<Is565, FullAlpha>(source + 2 * i, destination + 2 * i, rest, k);
    }
    if (paired == width) return;
    const std::uint32_t s = load16(source + 2 * paired);
    if (s == 0) return;
    std::uint8_t* d = destination + 2 * paired;
    store16(d, blendSinglePixel16(s, load16(d), masks, masks, c));
}

// 32-bit pixels: each byte in place, as blendSingles32Wide (Lanes32Wide.h), with even bytes
// (blue, red) low in their 16-bit lane and odd bytes (green, the top byte) high. The step
// floor(t * a / 256) is needed only modulo 256, since d + step lies in 0..255: it is the high
// byte of the low product t * a, exact modulo 2^16 for every t and a. So the odd steps are in
// place as they come, the even ones one shift away, and one bit select and a byte add finish.
// The top byte's lane has factor 0 and a = 256, which makes that byte 0.
struct SingleBytes {
    __m256i evenFactor, oddFactor;  // f * 256 per lane: blue and red, green and 0
    __m256i evenAlpha, oddAlpha;    // a, a; a, 256
};

SingleBytes makeSingleBytes(const ColorAlpha& k) {
    const auto pairOf = [](std::uint32_t low, std::uint32_t high) {
        return _mm256_set1_epi32(static_cast<int>(low | (high << 16)));
    };
    return {pairOf(k.blue << 8, k.red << 8), pairOf(k.green << 8, 0), pairOf(k.alpha, k.alpha),
            pairOf(k.alpha, 256)};
}

__m256i blendSinglesInPlace(__m256i s, __m256i d, const SingleBytes& k) {
    const __m256i lowByte = splat16(0x00FF);
    const __m256i sEven = _mm256_mulhi_epu16(_mm256_and_si256(s, lowByte), k.evenFactor);
    const __m256i sOdd = _mm256_mulhi_epu16(_mm256_srli_epi16(s, 8), k.oddFactor);
    const __m256i evenProduct = _mm256_mullo_epi16(_mm256_sub_epi16(sEven, _mm256_and_si256(d, lowByte)), k.evenAlpha);
    const __m256i oddProduct = _mm256_mullo_epi16(_mm256_sub_epi16(sOdd, _mm256_srli_epi16(d, 8)), k.oddAlpha);
    // Low byte from the even product's high byte, high byte from the odd product's.
    const __m256i steps = _mm256_ternarylogic_epi32(lowByte, _mm256_srli_epi16(evenProduct, 8), oddProduct, 0xCA);
    return _mm256_add_epi8(d, steps);
}

void blendSinglesMasked(const std::uint8_t* source, std::uint8_t* destination, __mmask8 lanes,
                        const SingleBytes& k) {
    const __m256i S = _mm256_maskz_loadu_epi32(lanes, source);
    const __mmask8 drawn = _mm256_test_epi32_mask(S, _mm256_set1_epi32(0x00FFFFFF));
    if (drawn == 0) return;
    const __m256i D = _mm256_maskz_loadu_epi32(drawn, destination);
    _mm256_mask_storeu_epi32(destination, drawn, blendSinglesInPlace(S, D, k));
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const SingleBytes& k) {
    int i = 0;
    for (; i + 8 <= width; i += 8) blendSinglesMasked(source + 4 * i, destination + 4 * i, 0xFF, k);
    if (i < width)
        blendSinglesMasked(source + 4 * i, destination + 4 * i, static_cast<__mmask8>((1u << (width - i)) - 1), k);
}

// Other masks whose channels ChannelsInPlace16.h places, each at most five bits wide (4-4-4,
// 5-5-5 either way round): blendPlacedChannels with the modulated channel s' * 2^p looked up
// from the source shifted down by p (the table repeats its values over the index bits above
// the channel). Wider channels keep the multiplication.
inline bool fitsWordTable(const PlacedChannels& placed) {
    for (const PlacedChannel& c : placed.channel)
        if ((c.mask >> c.shift) > 31) return false;
    return true;
}

WordTable placedTable(const PlacedChannel& c) {
    alignas(32) std::uint16_t words[32];
    const std::uint32_t field = c.mask >> c.shift;
    for (std::uint32_t i = 0; i < 32; ++i) words[i] = static_cast<std::uint16_t>(((i & field) * c.factor >> 8) << c.shift);
    return {_mm256_load_si256(reinterpret_cast<const __m256i*>(words)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(words + 16))};
}

struct PlacedTables {
    PlacedConstants<LaneOps256> k;
    WordTable modulated[3];
};

// (s' - d) * 2^p of the channel, as placedDifference.
template <int Channel>
__m256i lookedUpDifference(__m256i S, __m256i D, const PlacedTables& t) {
    const __m256i index = Channel == 0 ? S : _mm256_srl_epi16(S, t.k.shift[Channel - 1]);
    return _mm256_sub_epi16(t.modulated[Channel].lookUp(index), _mm256_and_si256(D, t.k.mask[Channel]));
}

template <bool Above8, int Channel>
__m256i lookedUpStep(__m256i S, __m256i D, const PlacedTables& t) {
    __m256i v = lookedUpDifference<Channel>(S, D, t);
    if constexpr (Above8) v = _mm256_sra_epi16(v, t.k.shiftAbove8[Channel - 1]);
    return _mm256_sll_epi16(_mm256_mulhi_epi16(v, t.k.alphaScaled[Channel - 1]), t.k.shift[Channel - 1]);
}

template <bool Above8>
__m256i blendLookedUpChannels(__m256i S, __m256i D, const PlacedTables& t) {
    const __m256i low = _mm256_srai_epi16(_mm256_mullo_epi16(lookedUpDifference<0>(S, D, t), t.k.alpha), 8);
    const __m256i middle = lookedUpStep<Above8, 1>(S, D, t);
    const __m256i high = lookedUpStep<Above8, 2>(S, D, t);
    return _mm256_add_epi16(_mm256_add_epi16(_mm256_and_si256(D, t.k.allMasks), low), _mm256_add_epi16(middle, high));
}

// blend(S, D) on the pixels of `lanes`; transparent source pixels are left out of the store.
template <typename Blend>
void blend16Masked(const std::uint8_t* source, std::uint8_t* destination, __mmask16 lanes, Blend blend) {
    const __m256i S = _mm256_maskz_loadu_epi16(lanes, source);
    const __mmask16 drawn = _mm256_test_epi16_mask(S, S);
    if (drawn == 0) return;
    _mm256_mask_storeu_epi16(destination, drawn, blend(S, _mm256_maskz_loadu_epi16(drawn, destination)));
}

template <bool Above8>
void lookedUpRows(const BlendArea& area, const PlacedTables& t) {
    const auto blend = [&](__m256i S, __m256i D) { return blendLookedUpChannels<Above8>(S, D, t); };
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        int i = 0;
        for (; i + 16 <= w; i += 16) blend16Masked(s + 2 * i, d + 2 * i, 0xFFFF, blend);
        if (i < w) blend16Masked(s + 2 * i, d + 2 * i, static_cast<__mmask16>((1u << (w - i)) - 1), blend);
    });
}

void placedRows(const BlendArea& area, const BlendLayout& layout, const ColorAlpha& k, const PlacedChannels& placed) {
    if (fitsWordTable(placed)) {
        PlacedTables t{makePlacedConstants<LaneOps256>(placed, k.alpha), {}};
        for (int c = 0; c < 3; ++c) t.modulated[c] = placedTable(placed.channel[c]);
        withPlacedShape(placed, [&](auto above8) { lookedUpRows<decltype(above8)::value>(area, t); });
        return;
    }
    const PlacedConstants<LaneOps256> wide = makePlacedConstants<LaneOps256>(placed, k.alpha);
    const PlacedConstants<LaneOps128> lanes = makePlacedConstants<LaneOps128>(placed, k.alpha);
    withPlacedShape(placed, [&](auto above8) {
        narrowRows(area, layout, k,
                   [&](__m256i s, __m256i d) { return blendPlacedChannels<LaneOps256, true, decltype(above8)::value>(s, d, wide); },
                   [&](__m128i s, __m128i d) { return blendPlacedChannels<LaneOps128, true, decltype(above8)::value>(s, d, lanes); });
    });
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColorAlpha c = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairTables<Is565> k = makePairTables<Is565>(c);
    const auto rows = [&](auto fullAlpha) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<Is565, decltype(fullAlpha)::value>(s, d, w, layout.source, c, k);
        });
    };
    if (c.alpha == 256)
        rows(std::true_type{});
    else
        rows(std::false_type{});
}

}  // namespace

void twins::colourModulated555Avx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Avx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

void twins::colourModulatedMasksAvx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedMasksWide(area, layout, p, [&](const ColorAlpha& k, const PlacedChannels& placed) {
        placedRows(area, layout, k, placed);
    });
}

void twins::colourModulated32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const SingleBytes k = makeSingleBytes(expandParameters(p.alpha, p.red, p.green, p.blue));
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k); });
}

}  // namespace ZelUISystem::blend
