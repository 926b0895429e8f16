// AVX2 twin of BlendHalfMMX for 16- and 32-bit pixels: the SSE2 twin's lane arithmetic on
// sixteen 16-bit or eight 32-bit pixels per register, then its 128-bit and 64-bit steps and the
// scalar formula for what is left, exactly as the SSE2 twin.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/HalfLanes128.h"
#include "blend/HalfPixel.h"
#include "blend/Lanes32Wide.h"
#include "blend/PixelAccess.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

__m256i average16Wide(__m256i s, __m256i d, __m256i K) {
    const __m256i avg = _mm256_add_epi16(_mm256_srli_epi16(_mm256_and_si256(d, K), 1),
                                         _mm256_srli_epi16(_mm256_and_si256(s, K), 1));
    return selectLanes256(_mm256_cmpeq_epi16(s, _mm256_setzero_si256()), d, avg);
}

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t k) {
    const __m128i K = _mm_set1_epi16(static_cast<short>(k));
    const __m256i wideK = _mm256_broadcastsi128_si256(K);
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 16 <= grouped; i += 16) {
        const __m256i s = load256(source + 2 * i);
        if (_mm256_testz_si256(s, s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store256(d, average16Wide(s, load256(d), wideK));
    }
    if (i + 8 <= grouped) {
        std::uint8_t* d = destination + 2 * i;
        store128(d, average16(load128(source + 2 * i), load128(d), K));
        i += 8;
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
    for (; i + 8 <= width; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        store256(d, average32Wide(load256(source + 4 * i), load256(d)));
    }
    if (i + 4 <= width) {
        std::uint8_t* d = destination + 4 * i;
        store128(d, average32(load128(source + 4 * i), load128(d)));
        i += 4;
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

void twins::halfLanes32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    forEachRow(area, averageRow32);
}

void twins::halfLanes16Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    const std::uint32_t k = halvingMask(layout.destination);
    forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
}

}  // namespace ZelUISystem::blend
