// AVX-512 twin of BlendColorAlpha for 32-bit pixels (F, BW, VL and VBMI), sixteen pixels per
// 512-bit register, the rows walked by the masked row walk of Registers.h.

#include <immintrin.h>

#include <cstdint>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {

namespace {

// Each byte in place, as blendSingles32 (Registers32.h), with even bytes
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

}  // namespace

void twins::colourModulated32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha parameters = expandParameters(p.alpha, p.red, p.green, p.blue);
    blendRows32(area, makeSingleBytes(parameters), parameters.alpha);
}

}  // namespace ZelUISystem::blend
