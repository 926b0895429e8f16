#pragma once
// The row walk of the 512-bit AVX-512 twins: a register of pixels a step, and the pixels a row
// leaves over in one step whose lane mask holds only them, so its loads never touch memory
// outside the row. Pixels the source leaves transparent (16-bit: 0; 32-bit: blue, green and
// red 0) are left out of the destination's load and of the store, and a step with none drawn
// ends there. Include only from files built with AVX-512 flags.

#include <immintrin.h>

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

// blend(S, D) on the first `count` 16-bit pixels of a row.
template <typename Blend>
inline void blendRowWithMasks16(const std::uint8_t* source, std::uint8_t* destination, int count, const Blend& blend) {
    const auto step = [&](int i, __mmask32 lanes) {
        const __m512i S = _mm512_maskz_loadu_epi16(lanes, source + 2 * i);
        const __mmask32 drawn = _mm512_test_epi16_mask(S, S);
        if (drawn == 0) return;
        std::uint8_t* d = destination + 2 * i;
        _mm512_mask_storeu_epi16(d, drawn, blend(S, _mm512_maskz_loadu_epi16(drawn, d)));
    };
    int i = 0;
    for (; i + 32 <= count; i += 32) step(i, 0xFFFFFFFFu);
    if (i < count) step(i, static_cast<__mmask32>((1u << (count - i)) - 1));
}

// blend(S, D) on the first `count` 32-bit pixels of a row.
template <typename Blend>
inline void blendRowWithMasks32(const std::uint8_t* source, std::uint8_t* destination, int count, const Blend& blend) {
    const __m512i colour = _mm512_set1_epi32(0x00FFFFFF);
    const auto step = [&](int i, __mmask16 lanes) {
        const __m512i S = _mm512_maskz_loadu_epi32(lanes, source + 4 * i);
        const __mmask16 drawn = _mm512_test_epi32_mask(S, colour);
        if (drawn == 0) return;
        std::uint8_t* d = destination + 4 * i;
        _mm512_mask_storeu_epi32(d, drawn, blend(S, _mm512_maskz_loadu_epi32(drawn, d)));
    };
    int i = 0;
    for (; i + 16 <= count; i += 16) step(i, 0xFFFF);
    if (i < count) step(i, static_cast<__mmask16>((1u << (count - i)) - 1));
}

}  // namespace
}  // namespace ZelUISystem::blend
