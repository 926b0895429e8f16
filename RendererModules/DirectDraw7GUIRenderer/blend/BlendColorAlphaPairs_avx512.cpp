// AVX-512 twin of BlendColourAlpha for 555 and 565 (F, BW, VL and VBMI), thirty-two pixels per
// 512-bit register. The pair path of ChannelsInPlace16.h, per channel
//     m = floor((s * f + 64 * (f mod 4) + 64 * 256) / 256),  t = m - d,
//     out = d + floor(t * a / 256) - floor(a / 4),
// with both functions of a single lane looked up instead of computed:
//
// - m takes one of 32 values per quad (s has five bits): the word permutation reads only the
//   low five bits of each index lane, so the source shifted down is already the index.
// - For a 5-bit channel t lies in 33..95, so its low six bits tell it apart: the two-table word
//   permutation gives the channel's whole share of the result, floor(t * a / 256) - floor(a / 4)
//   shifted to the channel's place (modulo 2^16, as the sum is taken). That holds for a = 256
//   too. 565's green has 127 values of t and keeps the multiplication of the 128-bit formula.
//
// The pairs of a row are walked by MaskedRows512.h; the odd last pixel of a row takes the
// single-pixel formula, as in the reference.

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "blend/BlendCore.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/MaskedRows512.h"
#include "blend/PixelAccess.h"
#include "blend/WordTables512.h"

namespace ZelUISystem::blend {

namespace {

// m of every 5-bit source value.
__m512i modulatedTable(std::uint32_t factor) {
    return wordTable32([factor](std::uint32_t s) { return (s * factor + pairRoundAndBias(factor)) >> 8; });
}

// A channel's share of the result for every t in 33..95, by its low six bits.
WordTable64 shareTable(std::uint32_t a, unsigned place, std::uint32_t quarter) {
    return WordTable64([=](std::uint32_t index) {
        const std::uint32_t t = index < 32 ? index + 64 : index;
        return ((t * a >> 8) - quarter) << place;
    });
}

// 555's green: looked up like red and blue.
struct GreenLookedUp {
    __m512i modulated;
    WordTable64 share;

    explicit GreenLookedUp(const ColourAlpha& k)
        : modulated(modulatedTable(k.green)), share(shareTable(k.alpha, 5, k.alpha >> 2)) {}
};

// 565's green: by the multiplications of ChannelsInPlace16.h.
struct GreenMultiplied {
    __m512i factor;     // f * 8
    __m512i shift;      // 64 - floor(f / 4)
    __m512i alphaHigh;  // a * 256 (not used for a = 256)

    explicit GreenMultiplied(const ColourAlpha& k)
        : factor(splatWords(k.green << 3)), shift(splatWords(64u - (k.green >> 2))), alphaHigh(splatWords(k.alpha << 8)) {}
};

template <bool Is565>
struct PairTables {
    static constexpr unsigned kRedPlace = Is565 ? 11 : 10;

    __m512i redModulated, blueModulated;
    WordTable64 red, blue;  // shares
    std::conditional_t<Is565, GreenMultiplied, GreenLookedUp> green;

    explicit PairTables(const ColourAlpha& k)
        : redModulated(modulatedTable(k.red)),
          blueModulated(modulatedTable(k.blue)),
          red(shareTable(k.alpha, kRedPlace, k.alpha >> 2)),
          blue(shareTable(k.alpha, 0, k.alpha >> 2)),
          green(k) {}
};

// 565's green share. FullAlpha: a = 256.
template <bool FullAlpha>
__m512i greenShare565(__m512i S, __m512i D, const GreenMultiplied& k, std::uint32_t quarter) {
    const __m512i sg = _mm512_ternarylogic_epi32(S, splatWords(0x07E0), splatWords(64 << 5), 0xEA);  // (S & field) | bias
    const __m512i dg = _mm512_and_si512(_mm512_srli_epi16(D, 5), splatWords(0x3F));
    const __m512i tg = _mm512_add_epi16(_mm512_sub_epi16(_mm512_mulhi_epu16(sg, k.factor), dg), k.shift);
    const __m512i step = FullAlpha ? tg : _mm512_mulhi_epu16(tg, k.alphaHigh);
    return _mm512_slli_epi16(_mm512_sub_epi16(step, splatWords(quarter)), 5);
}

// Always inlined: left to itself, the 32-bit build calls it at every step and passes its
// registers through memory, which costs 565 a tenth of its speed there.
template <bool Is565, bool FullAlpha>
[[gnu::always_inline]] inline __m512i blendPairsLookedUp(__m512i S, __m512i D, const PairTables<Is565>& k, std::uint32_t quarter) {
    constexpr int redPlace = PairTables<Is565>::kRedPlace;
    const __m512i five = splatWords(0x1F);
    // 555 has bit 15 outside every channel: it must come out 0.
    const __m512i d = Is565 ? D : _mm512_and_si512(D, splatWords(0x7FFF));
    const __m512i tr = _mm512_sub_epi16(lookUp32(k.redModulated, _mm512_srli_epi16(S, redPlace)), _mm512_srli_epi16(d, redPlace));
    const __m512i tb = _mm512_sub_epi16(lookUp32(k.blueModulated, S), _mm512_and_si512(d, five));
    __m512i green;
    if constexpr (Is565) {
        green = greenShare565<FullAlpha>(S, d, k.green, quarter);
    } else {
        const __m512i dg = _mm512_and_si512(_mm512_srli_epi16(d, 5), five);
        green = k.green.share.of(_mm512_sub_epi16(lookUp32(k.green.modulated, _mm512_srli_epi16(S, 5)), dg));
    }
    return _mm512_add_epi16(_mm512_add_epi16(d, k.red.of(tr)), _mm512_add_epi16(green, k.blue.of(tb)));
}

template <bool Is565, bool FullAlpha>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width, const ChannelMasks16& masks,
                   const ColourAlpha& c, const PairTables<Is565>& k) {
    const std::uint32_t quarter = c.alpha >> 2;
    const int paired = width / 2 * 2;
    // The odd last pixel first: read after the row's masked stores, which share its line, its
    // destination would wait for them to leave the store buffer.
    if (paired < width) blendSingle16At(source + 2 * paired, destination + 2 * paired, masks, masks, c);
    blendRowWithMasks16(source, destination, paired, [&](__m512i S, __m512i D) {
        return blendPairsLookedUp<Is565, FullAlpha>(S, D, k, quarter);
    });
}

template <bool Is565>
void colourModulatedPairs(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha c = expandParameters(p.alpha, p.red, p.green, p.blue);
    const PairTables<Is565> k(c);
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

}  // namespace ZelUISystem::blend
