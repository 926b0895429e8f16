// The 32-bit stretched row with AVX2, for rows that magnify (every destination pixel steps at
// most one source pixel on): eight destination pixels always come from eight consecutive
// source pixels, so one load and one lane permutation draw them. The lane indices are the
// stretch rule itself, (d * step) >> 16, computed eight at a time in 32 bits, which holds every
// product while the source row is narrower than 65536 pixels (d * step < sourceWidth << 16).

#include <immintrin.h>

#include <cstring>

#include "RowKernels.h"

namespace softddraw {

void stretchRow4Magnifying(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job) {
    const std::size_t width = job.width;
    const std::uint32_t step = job.step;
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i positions = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(step)));
    const __m256i advance = _mm256_set1_epi32(static_cast<int>(8 * step));
    std::size_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const std::uint32_t first = static_cast<std::uint32_t>((std::uint64_t{x} * step) >> 16);
        // The eight source pixels read must lie inside the source row.
        if (first + 8 > job.sourceWidth) break;
        const __m256i offsets =
            _mm256_sub_epi32(_mm256_srli_epi32(positions, 16), _mm256_set1_epi32(static_cast<int>(first)));
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sourceRow + 4 * std::size_t{first}));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destRow + 4 * x), _mm256_permutevar8x32_epi32(pixels, offsets));
        positions = _mm256_add_epi32(positions, advance);
    }
    for (; x < width; ++x) std::memcpy(destRow + 4 * x, sourceRow + 4 * job.columns[x], 4);
}

}  // namespace softddraw
