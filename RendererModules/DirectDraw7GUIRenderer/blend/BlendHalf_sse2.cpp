// SSE2 twin of BlendHalfMMX: ((d AND K) >> 1) + ((s AND K) >> 1) on eight 16-bit or four
// 32-bit pixels per register, lanes with a transparent source keeping the destination. The
// pixels the MMX kernel does one at a time get the same scalar formula. It is not offered for
// 24-bit rows, which the MMX kernel does pixel by pixel.

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/HalfLanes128.h"
#include "blend/HalfPixel.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t k) {
    const __m128i K = _mm_set1_epi16(static_cast<short>(k));
    const int grouped = width / 4 * 4;
    int i = 0;
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

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    int i = 0;
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

void twins::halfLanes32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    forEachRow(area, averageRow32);
}

void twins::halfLanes16Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    const std::uint32_t k = halvingMask(layout.destination);
    forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
}

}  // namespace ZelUISystem::blend
