// AVX-512 twin of BlendAlphaMMX for 32-bit pixels (F, BW, VL and VBMI), sixteen pixels per
// 512-bit register: out = d + floor(s * a / 256) - floor(d * a / 256) per byte, as
// blendPairs32Wide (Lanes32Wide.h). For one call floor(x * a / 256) is a function of the byte x
// alone, so it is looked up: four 64-byte registers hold its 256 values, two byte permutations
// read the lower and upper halves and the byte's top bit picks between them. The move is added
// to blue, green and red only: the pairs keep the top byte as it is. The rows are walked by
// MaskedRows512.h; the odd last pixel takes the reference's own formula (top byte 0).

#include <immintrin.h>

#include <cstdint>

#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/MaskedRows512.h"

namespace ZelUISystem::blend {

namespace {

// floor(x * a / 256) for every byte value x.
struct ScaledBytes {
    __m512i quarter[4];  // values 0-63, 64-127, 128-191, 192-255

    explicit ScaledBytes(std::uint32_t a) {
        alignas(64) std::uint8_t bytes[256];
        for (std::uint32_t x = 0; x < 256; ++x) bytes[x] = static_cast<std::uint8_t>(x * a >> 8);
        for (int q = 0; q < 4; ++q) quarter[q] = _mm512_load_si512(bytes + 64 * q);
    }

    __m512i of(__m512i v) const {
        const __m512i lower = _mm512_permutex2var_epi8(quarter[0], v, quarter[1]);
        const __m512i upper = _mm512_permutex2var_epi8(quarter[2], v, quarter[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), lower, upper);
    }
};

// Blue, green and red of every pixel.
constexpr __mmask64 kColourBytes = 0x7777777777777777ull;

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ScaledBytes& scaled,
                std::uint32_t a) {
    const int paired = width / 2 * 2;
    blendRowWithMasks32(source, destination, paired, [&](__m512i s, __m512i d) {
        return _mm512_mask_add_epi8(d, kColourBytes, d, _mm512_sub_epi8(scaled.of(s), scaled.of(d)));
    });
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alpha32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const ScaledBytes scaled(a);
    forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, scaled, a); });
}

}  // namespace ZelUISystem::blend
