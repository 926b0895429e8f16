#pragma once
// BlendHalfMMX's rows of 16- and 32-bit pixels on 128-bit registers from a given pixel on: the
// whole row for the SSE2 twin, what is left after the wide steps for the AVX2 twin. The pixels
// the MMX kernel does one at a time get the same scalar formula. Include only from files built
// with SSE2 (or wider) flags: everything here has internal linkage.

#include <cstdint>

#include "blend/HalfLanes128.h"
#include "blend/HalfPixel.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// Pixels first..width-1 of a 16-bit row; first is a multiple of 4. K's 16-bit value k clears
// the lowest bit of every channel.
inline void averageRow16From(const std::uint8_t* source, std::uint8_t* destination, int first,
                             int width, std::uint32_t k) {
    const __m128i K = _mm_set1_epi16(static_cast<short>(k));
    const int grouped = width / 4 * 4;
    int i = first;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, average16(s, load128(d), K));
    }
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        store64Low(d, average16(load64Low(source + 2 * i), load64Low(d), K));
        i = grouped;
    }
    const std::uint32_t k1 = k >> 1;
    for (; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, ((s >> 1) & k1) + ((load16(d) >> 1) & k1));
    }
}

// Pixels first..width-1 of a 32-bit row.
inline void averageRow32From(const std::uint8_t* source, std::uint8_t* destination, int first,
                             int width) {
    int i = first;
    for (; i + 4 <= width; i += 4) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, average32(load128(source + 4 * i), load128(d)));
    }
    if (i + 2 <= width) {
        std::uint8_t* d = destination + 4 * i;
        store64Low(d, average32(load64Low(source + 4 * i), load64Low(d)));
        i += 2;
    }
    if (i == width) return;
    const std::uint32_t s = load32(source + 4 * i);
    if ((s & 0x00FFFFFFu) == 0) return;
    std::uint8_t* d = destination + 4 * i;
    store32(d, averageBgr(s, load32(d)));
}

}  // namespace
}  // namespace ZelUISystem::blend
