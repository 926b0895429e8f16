#include <emmintrin.h>

#include "screen/BenchSurfaces.h"

namespace dd7r_bench {

void memoryPass(const std::uint8_t* source, std::uint8_t* destination, std::size_t bytes) {
    std::size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), _mm_xor_si128(d, s));
    }
    for (; i < bytes; ++i) destination[i] ^= source[i];
}

}  // namespace dd7r_bench
