// AVX2 twin of BlendHalfMMX for 16- and 32-bit pixels: the SSE2 twin's lane arithmetic on
// sixteen 16-bit or eight 32-bit pixels per register, then the SSE2 twin's own rows for what is
// left.

#include <immintrin.h>

#include "blend/Avx2Lanes.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/HalfRows128.h"
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
    const __m256i wideK = _mm256_set1_epi16(static_cast<short>(k));
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 16 <= grouped; i += 16) {
        const __m256i s = load256(source + 2 * i);
        if (_mm256_testz_si256(s, s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store256(d, average16Wide(s, load256(d), wideK));
    }
    averageRow16From(source, destination, i, width, k);
}

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        store256(d, average32Wide(load256(source + 4 * i), load256(d)));
    }
    averageRow32From(source, destination, i, width);
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
