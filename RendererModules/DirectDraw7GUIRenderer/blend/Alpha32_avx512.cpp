// AVX-512 twin of BlendAlphaMMX for 32-bit pixels (F, BW, VL and VBMI), sixteen pixels per
// 512-bit register: out = d + floor(s * a / 256) - floor(d * a / 256) per byte, as
// blendPairs32 (Registers32.h). The move is added to blue, green and red only: the pairs keep
// the top byte as it is. The rows are walked by the masked row walk of Registers.h; the odd last
// pixel takes the reference's own formula (top byte 0).
//
// floor(x * a / 256) is found one of two ways, whichever suits the processor's register file:
// - looked up (TableBlend): for one call it is a function of the byte x alone, so four 64-byte
//   registers hold its 256 values, two byte permutations read the lower and upper halves and
//   the byte's top bit picks between them. A second table holds x - floor(x * a / 256) for the
//   destination's bytes, so one byte add finishes: modulo 256 it is the same sum. With 32
//   vector registers both tables stay in them for the whole call, and this is the faster way.
// - multiplied (ProductBlend): 32-bit code has only eight vector registers, the table would be
//   read from memory at every step and the loads would bound the loop; two 16-bit products
//   need no table at all. There the top bytes are also kept by a bit select with the colour
//   mask rather than by a 64-bit byte mask, which 32-bit code can only rebuild through memory
//   at every step.

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {

namespace {

// Blue, green and red of every pixel, by byte and by bit.
constexpr __mmask64 kColourBytes = 0x7777777777777777ull;
inline __m512i colourBits() { return _mm512_set1_epi32(0x00FFFFFF); }

// value(x) for every byte x.
struct ByteTable {
    __m512i quarter[4];  // values for the bytes 0-63, 64-127, 128-191, 192-255

    template <typename Value>
    explicit ByteTable(Value value) {
        alignas(64) std::uint8_t bytes[256];
        for (std::uint32_t x = 0; x < 256; ++x) bytes[x] = static_cast<std::uint8_t>(value(x));
        for (int q = 0; q < 4; ++q) quarter[q] = _mm512_load_si512(bytes + 64 * q);
    }

    __m512i of(__m512i v) const {
        const __m512i lower = _mm512_permutex2var_epi8(quarter[0], v, quarter[1]);
        const __m512i upper = _mm512_permutex2var_epi8(quarter[2], v, quarter[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), lower, upper);
    }
};

struct TableBlend {
    ByteTable scaled;  // floor(x * a / 256)
    ByteTable kept;    // x - floor(x * a / 256)

    explicit TableBlend(std::uint32_t a)
        : scaled([a](std::uint32_t x) { return x * a >> 8; }),
          kept([a](std::uint32_t x) { return x - (x * a >> 8); }) {}

    __m512i operator()(__m512i s, __m512i d) const {
        return _mm512_mask_add_epi8(d, kColourBytes, kept.of(d), scaled.of(s));
    }
};

// For a below 256 one multiplier, a * 256, serves both bytes of a 16-bit lane: the low byte
// alone gives floor(lo * a / 256) as the high half of its product; the high byte alone gives
// hi * a exactly, whose own high byte is the value, already in place.
struct ProductBlend {
    __m512i multiplier;
    __m512i highBytes = _mm512_set1_epi16(static_cast<short>(0xFF00));
    __m512i lowBytes = _mm512_set1_epi16(0x00FF);

    explicit ProductBlend(std::uint32_t a) : multiplier(_mm512_set1_epi16(static_cast<short>(a << 8))) {}

    __m512i scaled(__m512i v) const {
        const __m512i low = _mm512_mulhi_epu16(_mm512_and_si512(v, lowBytes), multiplier);
        const __m512i high = _mm512_mulhi_epu16(_mm512_and_si512(v, highBytes), multiplier);
        return _mm512_ternarylogic_epi32(highBytes, high, low, 0xCA);
    }

    __m512i operator()(__m512i s, __m512i d) const {
        const __m512i moved = _mm512_add_epi8(d, _mm512_sub_epi8(scaled(s), scaled(d)));
        return _mm512_ternarylogic_epi32(colourBits(), moved, d, 0xCA);
    }
};

constexpr bool kThirtyTwoVectorRegisters = sizeof(void*) == 8;
using ScaledBlend = std::conditional_t<kThirtyTwoVectorRegisters, TableBlend, ProductBlend>;

template <typename Blend>
void blendRows32(const BlendArea& area, std::uint32_t a, const Blend& blend) {
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        const int paired = width / 2 * 2;
        // The odd last pixel first: read after the row's masked stores, which share its line,
        // its destination would wait for them to leave the store buffer.
        if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
        blendRowWithMasks32(source, destination, paired, blend);
    });
}

}  // namespace

void twins::alpha32Avx512(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    if (a == 256) {
        // floor(x * 256 / 256) = x: the colour bytes become the source's.
        blendRows32(area, a, [](__m512i s, __m512i d) { return _mm512_ternarylogic_epi32(colourBits(), s, d, 0xCA); });
        return;
    }
    blendRows32(area, a, ScaledBlend(a));
}

}  // namespace ZelUISystem::blend
