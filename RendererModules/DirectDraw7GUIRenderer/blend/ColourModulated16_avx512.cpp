// AVX-512 twins of BlendColorAlpha for the 16-bit layouts (F, BW, VL and VBMI), one per layout,
// thirty-two pixels per 512-bit register where the layout's channels fit word tables; the rows
// are walked by the masked row walk of Registers.h, and the odd last pixel of a 555 or 565 row
// takes the single-pixel formula, as in the reference.
//
// 555 and 565: the pair path of Registers16.h, per channel
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

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

namespace {

// ---- 555 and 565 ----

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

// 565's green: by the multiplications of Registers16.h.
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

// ---- Other masks ----

// Other masks whose channels Registers16.h places, each at most five bits wide (4-4-4,
// 5-5-5 either way round), thirty-two pixels per 512-bit register, with both functions of a
// channel looked up (the word tables of Registers.h): s' = floor(s * f / 256) from the source shifted down to
// the channel (the table repeats its values over the index bits above the channel), and the
// channel's share floor(t * a / 256) * 2^p of the result from t = s' - d, which lies in -31..31
// so that its low six bits tell it apart. Wider channels keep the multiplications.
inline bool fitsWordTables(const PlacedChannels& placed) {
    for (const PlacedChannel& c : placed.channel)
        if ((c.mask >> c.shift) > 31) return false;
    return true;
}

struct PlacedShares {
    __m512i modulated[3];
    WordTable64 share[3];
    __m512i field[3];   // the channel's mask shifted down to bit 0
    __m128i place[3];   // p, as a shift count
    __m512i allMasks;
};

__m512i modulatedChannelTable(const PlacedChannel& c) {
    const std::uint32_t field = c.mask >> c.shift;
    return wordTable32([&](std::uint32_t i) { return (i & field) * c.factor >> 8; });
}

WordTable64 placedShareTable(const PlacedChannel& c, std::uint32_t a) {
    return WordTable64([&](std::uint32_t index) {
        const std::int32_t t = index < 32 ? static_cast<std::int32_t>(index) : static_cast<std::int32_t>(index) - 64;
        // floor(t * a / 256) with t * a >= -32 * 256, by a division of a non-negative number.
        const std::int32_t step = (t * static_cast<std::int32_t>(a) + 32 * 256) / 256 - 32;
        return static_cast<std::uint32_t>(step) << c.shift;
    });
}

PlacedShares makePlacedShares(const PlacedChannels& placed, std::uint32_t a) {
    const auto table = [&](int c) { return placedShareTable(placed.channel[c], a); };
    PlacedShares k{{}, {table(0), table(1), table(2)}, {}, {}, splatWords(placed.allMasks)};
    for (int c = 0; c < 3; ++c) {
        k.modulated[c] = modulatedChannelTable(placed.channel[c]);
        k.field[c] = splatWords(placed.channel[c].mask >> placed.channel[c].shift);
        k.place[c] = _mm_cvtsi32_si128(static_cast<int>(placed.channel[c].shift));
    }
    return k;
}

template <int Channel>
__m512i placedShare(__m512i S, __m512i D, const PlacedShares& k) {
    // Channel 0 starts at bit 0.
    const __m512i s = Channel == 0 ? S : _mm512_srl_epi16(S, k.place[Channel]);
    const __m512i d = _mm512_and_si512(Channel == 0 ? D : _mm512_srl_epi16(D, k.place[Channel]), k.field[Channel]);
    return k.share[Channel].of(_mm512_sub_epi16(lookUp32(k.modulated[Channel], s), d));
}

// Always inlined: left to itself, the 32-bit build calls it at every step and passes its
// registers through memory, which costs it a fifth of its speed there.
[[gnu::always_inline]] inline __m512i blendPlacedShares(__m512i S, __m512i D, const PlacedShares& k) {
    const __m512i kept = _mm512_add_epi16(_mm512_and_si512(D, k.allMasks), placedShare<0>(S, D, k));
    return _mm512_add_epi16(kept, _mm512_add_epi16(placedShare<1>(S, D, k), placedShare<2>(S, D, k)));
}

void placedShareRows(const BlendArea& area, const PlacedShares& k) {
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        blendRowWithMasks16(s, d, w, [&](__m512i S, __m512i D) { return blendPlacedShares(S, D, k); });
    });
}

}  // namespace

void twins::colourModulated555Avx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<false>(area, layout, p);
}

void twins::colourModulated565Avx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedPairs<true>(area, layout, p);
}

// The masks decide the rows: looked up where both sides share narrow placed channels that fit
// the word tables; otherwise the AVX2 twin's 256-bit rows (Registers16.h): in place where the
// channels are placed, channel by channel where they are only narrow, by the masked 128-bit
// lanes elsewhere.
void twins::colourModulatedMasksAvx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    PlacedChannels placed;
    if (hasNarrowChannels(layout) && placeChannels(layout.destination, k.red, k.green, k.blue, placed)) {
        if (fitsWordTables(placed))
            placedShareRows(area, makePlacedShares(placed, k.alpha));
        else
            colourModulatedPlacedRows(area, layout, k, placed);
    } else if (hasNarrowChannels(layout)) {
        colourModulatedNarrowChannelRows(area, layout, k);
    } else {
        colourModulatedMaskedRows(area, layout, k);
    }
}

}  // namespace ZelUISystem::blend
