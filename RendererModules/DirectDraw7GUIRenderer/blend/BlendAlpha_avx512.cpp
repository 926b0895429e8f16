// AVX-512 twin of BlendAlphaMMX for 32-bit pixels, on 256-bit registers (F, BW and VL): the
// bytes in place as blendPairs32Wide (Lanes32Wide.h), out = d + floor(s * a / 256) -
// floor(d * a / 256) per byte. For a byte x and a <= 256 the product x * a is exact in a 16-bit
// lane, and its high byte is floor(x * a / 256): the odd bytes' products, taken from x shifted
// down, have it in place; the even bytes' are shifted down once, and a bit select joins both.
// Transparent source pixels are left out of the store by its lane mask; the pairs a row leaves
// over take one masked step (the masked loads never touch memory outside the row) and the odd
// last pixel the reference's own formula (top byte 0).

#include <immintrin.h>

#include <cstdint>

#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"

namespace ZelUISystem::blend {

namespace {

// The multipliers of the even bytes (blue, red) and of the odd ones (green, and 0 for the top
// byte: the pairs keep it as it is).
struct ByteAlphas {
    __m256i even, odd;
};

// floor(x * a / 256) for every byte x of v, in place.
__m256i bytewiseSteps(__m256i v, const ByteAlphas& alpha) {
    const __m256i lowByte = _mm256_set1_epi16(0x00FF);
    const __m256i even = _mm256_mullo_epi16(_mm256_and_si256(v, lowByte), alpha.even);
    const __m256i odd = _mm256_mullo_epi16(_mm256_srli_epi16(v, 8), alpha.odd);
    // Low byte from the even product's high byte, high byte from the odd product's.
    return _mm256_ternarylogic_epi32(lowByte, _mm256_srli_epi16(even, 8), odd, 0xCA);
}

void blendPairsMasked(const std::uint8_t* source, std::uint8_t* destination, __mmask8 lanes, const ByteAlphas& alpha) {
    const __m256i s = _mm256_maskz_loadu_epi32(lanes, source);
    const __mmask8 drawn = _mm256_test_epi32_mask(s, _mm256_set1_epi32(0x00FFFFFF));
    if (drawn == 0) return;
    const __m256i d = _mm256_maskz_loadu_epi32(drawn, destination);
    const __m256i out = _mm256_sub_epi8(_mm256_add_epi8(d, bytewiseSteps(s, alpha)), bytewiseSteps(d, alpha));
    _mm256_mask_storeu_epi32(destination, drawn, out);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ByteAlphas& alpha, std::uint32_t a) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 8 <= paired; i += 8) blendPairsMasked(source + 4 * i, destination + 4 * i, 0xFF, alpha);
    if (i < paired)
        blendPairsMasked(source + 4 * i, destination + 4 * i, static_cast<__mmask8>((1u << (paired - i)) - 1), alpha);
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const ByteAlphas alpha{_mm256_set1_epi32(static_cast<int>(a | (a << 16))), _mm256_set1_epi32(static_cast<int>(a))};
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alpha, a); });
}

}  // namespace ZelUISystem::blend
