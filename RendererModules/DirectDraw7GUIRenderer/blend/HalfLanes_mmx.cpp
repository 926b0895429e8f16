// The lane kernel of the 50 % average, BlendHalfMMX, and the reference its twins must equal.
// With MMX: ((d AND K) >> 1) + ((s AND K) >> 1) in every lane, K being every
// colour bit except the lowest bit of each channel, so the shift moves no bit into the
// channel (or lane) below. Unlike the integer kernel's pairs, a lane whose source pixel is 0
// keeps its destination value exactly, by a compare and a select.
// MMX shares its registers with the x87 stack: EMMS runs after each row's MMX loop in the
// 16-bit layouts, after each row in 24-bit mode, and once at the end in 32-bit mode, whose
// odd pixel needs no MMX.

#include <mmintrin.h>

#include "blend/PixelFormulas.h"
#include "blend/RGBMode.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {

namespace {

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width,
                  std::uint32_t k) {
    const int groups = width / 4;
    if (groups > 0) {
        const __m64 K = _mm_set1_pi16(static_cast<short>(k));
        const __m64 zero = _mm_setzero_si64();
        for (int i = 0; i < groups; ++i) {
            const std::uint8_t* sp = source + 8 * i;
            if (isZero64(sp)) continue;
            std::uint8_t* dp = destination + 8 * i;
            const __m64 s = load64(sp);
            const __m64 d = load64(dp);
            const __m64 avg = _mm_add_pi16(_mm_srli_pi16(_mm_and_si64(d, K), 1),
                                           _mm_srli_pi16(_mm_and_si64(s, K), 1));
            store64(dp, selectLanes(_mm_cmpeq_pi16(s, zero), d, avg));
        }
        _mm_empty();
    }
    const std::uint32_t k1 = k >> 1;
    for (int i = 4 * groups; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* dp = destination + 2 * i;
        store16(dp, ((s >> 1) & k1) + ((load16(dp) >> 1) & k1));
    }
}

void averageRow24(const std::uint8_t* source, std::uint8_t* destination, int width) {
    const __m64 K = _mm_cvtsi32_si64(0x00FEFEFE);
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* dp = destination + 3 * i;
        const __m64 sv = _mm_and_si64(_mm_cvtsi32_si64(static_cast<int>(s)), K);
        const __m64 dv = _mm_and_si64(_mm_cvtsi32_si64(static_cast<int>(load24(dp))), K);
        const __m64 avg = _mm_add_pi32(_mm_srli_pi32(dv, 1), _mm_srli_pi32(sv, 1));
        store24(dp, static_cast<std::uint32_t>(_mm_cvtsi64_si32(avg)));
    }
    _mm_empty();
}

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    const int pairs = width / 2;
    const __m64 bgr = _mm_set1_pi32(0x00FFFFFF);
    const __m64 halved = _mm_set1_pi32(0x007F7F7F);
    const __m64 zero = _mm_setzero_si64();
    for (int i = 0; i < pairs; ++i) {
        const std::uint8_t* sp = source + 8 * i;
        if (isBgrZero64(sp)) continue;
        std::uint8_t* dp = destination + 8 * i;
        const __m64 s = _mm_and_si64(load64(sp), bgr);
        const __m64 d = load64(dp);
        const __m64 avg = _mm_add_pi32(_mm_and_si64(_mm_srli_pi32(d, 1), halved),
                                       _mm_and_si64(_mm_srli_pi32(s, 1), halved));
        store64(dp, selectLanes(_mm_cmpeq_pi32(s, zero), d, avg));
    }
    if (width % 2 == 0) return;
    const std::uint32_t s = load32(source + 8 * pairs);
    if ((s & 0x00FFFFFFu) == 0) return;
    std::uint8_t* dp = destination + 8 * pairs;
    store32(dp, averageBgr(s, load32(dp)));
}

}  // namespace

void halfLanesMmx(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    if (layout.mode == DDS_RGBMODE_24) {
        forEachRow(area, averageRow24);
    } else if (layout.mode == DDS_RGBMODE_32) {
        forEachRow(area, averageRow32);
        _mm_empty();
    } else {
        const std::uint32_t k = halvingMask(layout.destination);
        forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
    }
}

}  // namespace ZelUISystem::blend
