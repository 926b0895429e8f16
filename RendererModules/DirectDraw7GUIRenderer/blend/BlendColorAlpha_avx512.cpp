// AVX-512 twins of BlendColourAlpha for 16-bit pixels with other masks (512-bit registers where
// the channels are placed and narrow, 256-bit otherwise) and for 32-bit pixels (512-bit
// registers); 555 and 565 are in BlendColorAlphaPairs_avx512.cpp. The 512-bit rows are walked
// by MaskedRows512.h.

#include <immintrin.h>

#include <cstdint>

#include "blend/BlendCore.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/ColourModulatedMasksWide.h"
#include "blend/MaskedRows512.h"
#include "blend/PixelAccess.h"
#include "blend/WordTables512.h"

namespace ZelUISystem::blend {

namespace {

// 32-bit pixels: each byte in place, as blendSingles32Wide (Lanes32Wide.h), with even bytes
// (blue, red) low in their 16-bit lane and odd bytes (green, the top byte) high. The step
// floor(t * a / 256) is needed only modulo 256, since d + step lies in 0..255:
// - odd bytes: it is the high byte of the low product t * a, exact modulo 2^16 for every t and
//   a, so it comes out in place;
// - even bytes: it is the low byte of the unsigned high product of t (modulo 2^16) and a * 256,
//   since a negative t adds a whole multiple of 256 to it; also in place. a * 256 must fit a
//   word, so a = 256 takes its own blend: every colour byte becomes s'.
// One bit select and a byte add finish. The top byte's lane has factor 0 and a = 256, which
// makes that byte 0.
struct SingleBytes {
    __m512i evenFactor, oddFactor;  // f * 256 per lane: blue and red, green and 0
    __m512i evenAlpha, oddAlpha;    // a * 256, a * 256; a, 256
};

SingleBytes makeSingleBytes(const ColourAlpha& k) {
    const auto pairOf = [](std::uint32_t low, std::uint32_t high) {
        return _mm512_set1_epi32(static_cast<int>(low | (high << 16)));
    };
    const std::uint32_t evenAlpha = (k.alpha << 8) & 0xFFFFu;
    return {pairOf(k.blue << 8, k.red << 8), pairOf(k.green << 8, 0), pairOf(evenAlpha, evenAlpha),
            pairOf(k.alpha, 256)};
}

// s' = floor(s * f / 256) of the even bytes (low in their lanes) and of the odd bytes (also low).
struct ModulatedBytes {
    __m512i even, odd;
};

inline ModulatedBytes modulated(__m512i s, const SingleBytes& k) {
    return {_mm512_mulhi_epu16(_mm512_and_si512(s, splatWords(0x00FF)), k.evenFactor),
            _mm512_mulhi_epu16(_mm512_srli_epi16(s, 8), k.oddFactor)};
}

__m512i blendSinglesInPlace(__m512i s, __m512i d, const SingleBytes& k) {
    const __m512i lowByte = splatWords(0x00FF);
    const ModulatedBytes m = modulated(s, k);
    const __m512i evenSteps = _mm512_mulhi_epu16(_mm512_sub_epi16(m.even, _mm512_and_si512(d, lowByte)), k.evenAlpha);
    const __m512i oddProduct = _mm512_mullo_epi16(_mm512_sub_epi16(m.odd, _mm512_srli_epi16(d, 8)), k.oddAlpha);
    // Low byte from the even high product's low byte, high byte from the odd product's. The
    // select overwrites its first operand: the even steps, which die here, not the constant.
    const __m512i steps = _mm512_ternarylogic_epi32(evenSteps, oddProduct, lowByte, 0xE4);
    return _mm512_add_epi8(d, steps);
}

// a = 256: d + (s' - d) is s' in every colour byte, and 0 in the top byte (its factor is 0).
__m512i modulatedInPlace(__m512i s, const SingleBytes& k) {
    const ModulatedBytes m = modulated(s, k);
    return _mm512_or_si512(m.even, _mm512_slli_epi16(m.odd, 8));
}

void blendRows32(const BlendArea& area, const SingleBytes& k, std::uint32_t a) {
    if (a == 256) {
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowWithMasks32(s, d, w, [&](__m512i S, __m512i) { return modulatedInPlace(S, k); });
        });
        return;
    }
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
        blendRowWithMasks32(s, d, w, [&](__m512i S, __m512i D) { return blendSinglesInPlace(S, D, k); });
    });
}

// Other masks whose channels ChannelsInPlace16.h places, each at most five bits wide (4-4-4,
// 5-5-5 either way round), thirty-two pixels per 512-bit register, with both functions of a
// channel looked up (WordTables512.h): s' = floor(s * f / 256) from the source shifted down to
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

void placedRows(const BlendArea& area, const BlendLayout& layout, const ColourAlpha& k, const PlacedChannels& placed) {
    if (fitsWordTables(placed))
        placedShareRows(area, makePlacedShares(placed, k.alpha));
    else
        placedMultipliedRows(area, layout, k, placed);
}

}  // namespace

void twins::colourModulatedMasksAvx512(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    colourModulatedMasksWide(area, layout, p, [&](const ColourAlpha& k, const PlacedChannels& placed) {
        placedRows(area, layout, k, placed);
    });
}

void twins::colourModulated32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha parameters = expandParameters(p.alpha, p.red, p.green, p.blue);
    blendRows32(area, makeSingleBytes(parameters), parameters.alpha);
}

}  // namespace ZelUISystem::blend
