// AVX2 twins of the three operations for 24-bit pixels: the SSSE3 twins' byte shuffles on eight
// pixels at a time, four in each 128-bit half (loaded from 24 bytes as two overlapping 16-byte
// halves), with the eight-pixel 32-bit lane arithmetic of Lanes32Wide.h. The 24 bytes of the
// eight pixels are stored exactly, as 16 and 8 bytes. A step is taken only while its loads lie
// inside the row; what is left goes to the SSSE3 twins' four-pixel groups and single pixels.

#include <immintrin.h>

#include <cstdint>

#include "blend/AlphaLanes128.h"
#include "blend/AlphaPixel.h"
#include "blend/Avx2Lanes.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaLanes128.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/HalfLanes128.h"
#include "blend/HalfPixel.h"
#include "blend/Lanes32Wide.h"
#include "blend/PixelAccess.h"
#include "blend/Pixels24Lanes.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {

namespace {

// Pixels 0-3 from the 16 bytes at p, pixels 4-7 from the 16 bytes at p + 12.
inline __m256i loadEight24(const std::uint8_t* p) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(load128(p)), load128(p + 12), 1);
}

// The eight packed pixels (12 bytes at the bottom of each half) as 24 consecutive bytes.
inline void storeEight24(std::uint8_t* p, __m256i packed) {
    const __m128i low = _mm256_castsi256_si128(packed);
    const __m128i high = _mm256_extracti128_si256(packed, 1);
    store128(p, _mm_or_si128(low, _mm_slli_si128(high, 12)));
    store64Low(p + 16, _mm_srli_si128(high, 4));
}

// blendEight(source lanes, destination lanes) on each eight pixels whose loads stay in the row;
// returns the number of pixels done.
template <typename Eight>
int blendEightAtATime(const std::uint8_t* source, std::uint8_t* destination, int width, Eight blendEight) {
    const std::int64_t rowBytes = std::int64_t{3} * width;
    const __m256i spread = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
    const __m256i pack = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    const __m256i twelveBytes = _mm256_broadcastsi128_si256(_mm_setr_epi32(-1, -1, -1, 0));
    int i = 0;
    for (; std::int64_t{3} * i + 28 <= rowBytes; i += 8) {
        const __m256i s = loadEight24(source + 3 * i);
        if (_mm256_testz_si256(s, twelveBytes)) continue;
        std::uint8_t* d = destination + 3 * i;
        const __m256i blended =
            blendEight(_mm256_shuffle_epi8(s, spread), _mm256_shuffle_epi8(loadEight24(d), spread));
        storeEight24(d, _mm256_shuffle_epi8(blended, pack));
    }
    return i;
}

}  // namespace

void twins::colourModulated24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColorAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const short r = static_cast<short>(p.red), g = static_cast<short>(p.green), b = static_cast<short>(p.blue),
                a = static_cast<short>(k.alpha);
    const SingleLanes lanes{_mm_set_epi16(0, r, g, b, 0, r, g, b), _mm_set1_epi16(static_cast<short>(2 * a))};
    const __m256i factor = _mm256_broadcastsi128_si256(lanes.factor);
    const __m256i alphaTimes2 = _mm256_broadcastsi128_si256(lanes.alphaTimes2);
    blendRows24(
        area,
        [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            return blendEightAtATime(s, d, w, [&](__m256i sv, __m256i dv) {
                return blendSingles32Wide(sv, dv, factor, alphaTimes2);
            });
        },
        [&](__m128i s, __m128i d) { return blendSingles32(s, d, lanes); },
        [&](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

void twins::alpha24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const short sa = static_cast<short>(a);
    const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
    const __m256i wideAlpha = _mm256_broadcastsi128_si256(alphaLanes);
    blendRows24(
        area,
        [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            return blendEightAtATime(s, d, w, [&](__m256i sv, __m256i dv) { return blendPairs32Wide(sv, dv, wideAlpha); });
        },
        [&](__m128i s, __m128i d) { return blendPairs32(s, d, alphaLanes); },
        [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); });
}

void twins::halfLanes24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24(
        area,
        [](const std::uint8_t* s, std::uint8_t* d, int w) {
            return blendEightAtATime(s, d, w, [](__m256i sv, __m256i dv) { return average32Wide(sv, dv); });
        },
        [](__m128i s, __m128i d) { return average32(s, d); },
        [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
