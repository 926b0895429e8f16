#pragma once
// Word tables for the AVX-512 twins: functions of a few bits of a 16-bit lane, looked up with
// the word permutations, which read only the low five (one register) or six bits (two
// registers) of each index lane, so an index needs no mask above those bits. Include only from
// files built with AVX-512 flags.

#include <immintrin.h>

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

inline __m512i splatWords(std::uint32_t value) { return _mm512_set1_epi16(static_cast<short>(value & 0xFFFFu)); }

// value(i) for the 32 indices of a five-bit lookup, modulo 2^16.
template <typename Value>
__m512i wordTable32(Value value) {
    alignas(64) std::uint16_t words[32];
    for (std::uint32_t i = 0; i < 32; ++i) words[i] = static_cast<std::uint16_t>(value(i) & 0xFFFFu);
    return _mm512_load_si512(words);
}

// table(index's low five bits) in every lane.
inline __m512i lookUp32(__m512i table, __m512i index) { return _mm512_permutexvar_epi16(index, table); }

// A function of the low six bits of a lane.
struct WordTable64 {
    __m512i low, high;  // indices 0-31 and 32-63

    template <typename Value>
    explicit WordTable64(Value value)
        : low(wordTable32(value)), high(wordTable32([&](std::uint32_t i) { return value(i + 32); })) {}

    __m512i of(__m512i index) const { return _mm512_permutex2var_epi16(low, index, high); }
};

}  // namespace
}  // namespace ZelUISystem::blend
