#pragma once
// The vector registers the kernels work in. The 128- and 256-bit widths are traits structs,
// Vec128 and Vec256, handed to the lane formulas (Registers16.h, Registers24.h, Registers32.h)
// as a template argument: a formula is written once, and each use names the width it runs at.
// Beside them, what the MMX references and the AVX-512 twins share.
//
// Each part exists only in units built with the flags it needs (MMX, SSE2, SSSE3, AVX2,
// AVX-512): the rest of the module runs on any x86. Internal linkage throughout, as the units
// including this are built with different flags.

#include <cstdint>
#include <cstring>

#if defined(__MMX__)
#include <mmintrin.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSSE3__)
#include <tmmintrin.h>
#endif
#if defined(__AVX2__)
#include <immintrin.h>
#endif

#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
namespace {

#if defined(__MMX__)
// ---- 64-bit MMX registers: the MMX references ----

inline __m64 load64(const std::uint8_t* p) {
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store64(std::uint8_t* p, __m64 v) { std::memcpy(p, &v, sizeof v); }

// Zero tests done on integer registers, so no 64-bit scalar value ever lives in MMX.
inline bool isZero64(const std::uint8_t* p) { return (load32(p) | load32(p + 4)) == 0; }

inline bool isBgrZero64(const std::uint8_t* p) {
    return ((load32(p) | load32(p + 4)) & 0x00FFFFFFu) == 0;
}

// Each lane from the destination where the mask lane is all ones, else from the blend.
inline __m64 selectLanes(__m64 keepDestination, __m64 destination, __m64 blended) {
    return _mm_or_si64(_mm_and_si64(keepDestination, destination),
                       _mm_andnot_si64(keepDestination, blended));
}
#endif

#if defined(__SSE2__)
// ---- 128-bit registers (SSE2; the byte shuffles SSSE3) ----
// Shift counts of the variable shifts are a 128-bit register at every width.

struct Vec128 {
    using V = __m128i;

    static V load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(std::uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    // The low 64 bits: half a register of pixels.
    static V loadLow(const std::uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
    static void storeLow(std::uint8_t* p, V v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }

    static V zero() { return _mm_setzero_si128(); }
    static V splat16(std::uint32_t value) { return _mm_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    static V splat32(std::uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }
    // The same 16 bytes in every 128-bit half.
    static V repeatHalves(__m128i half) { return half; }
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }

    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    // (NOT mask) AND v.
    static V bitAndNot(V mask, V v) { return _mm_andnot_si128(mask, v); }
    static V addBytes(V a, V b) { return _mm_add_epi8(a, b); }
    static V subtractBytes(V a, V b) { return _mm_sub_epi8(a, b); }
    static V add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V subtract16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V add32(V a, V b) { return _mm_add_epi32(a, b); }
    template <int Bits>
    static V shiftLeft16(V v) {
        return _mm_slli_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRight16(V v) {
        return _mm_srli_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRightSigned16(V v) {
        return _mm_srai_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRight32(V v) {
        return _mm_srli_epi32(v, Bits);
    }
    static V shiftLeft16(V v, __m128i bits) { return _mm_sll_epi16(v, bits); }
    static V shiftRight16(V v, __m128i bits) { return _mm_srl_epi16(v, bits); }
    static V shiftRightSigned16(V v, __m128i bits) { return _mm_sra_epi16(v, bits); }
    // The top 16 bits of each unsigned and of each signed 32-bit product.
    static V multiplyHighUnsigned16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V multiplyHighSigned16(V a, V b) { return _mm_mulhi_epi16(a, b); }
    // The low 16 bits of each product, the same for signed and unsigned lanes.
    static V multiplyLow16(V a, V b) { return _mm_mullo_epi16(a, b); }
    // Words 0 and 2 (evenWords) or 1 and 3 (oddWords) of every 64 bits, each twice.
    static V evenWords(V v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0x88), 0x88); }
    static V oddWords(V v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xDD), 0xDD); }

    static V isZero16(V v) { return _mm_cmpeq_epi16(v, _mm_setzero_si128()); }
    static V isZero32(V v) { return _mm_cmpeq_epi32(v, _mm_setzero_si128()); }
    static bool allZero(V v) { return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF; }
    // Destination where keepDestination is all ones, blended elsewhere.
    static V select(V keepDestination, V destination, V blended) {
        return _mm_or_si128(_mm_and_si128(keepDestination, destination), _mm_andnot_si128(keepDestination, blended));
    }
    // The destination in every 16-bit lane whose source pixel is 0, the blend elsewhere.
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return select(isZero16(source), destination, blended);
    }

#if defined(__SSSE3__)
    static V shuffleBytes(V v, V indices) { return _mm_shuffle_epi8(v, indices); }
#endif
    // All ones in every byte that is 0.
    static V zeroBytes(V v) { return _mm_cmpeq_epi8(v, _mm_setzero_si128()); }
    // The low byte of every 16-bit lane from even, the high byte from odd.
    static V evenAndOddBytes(V even, V odd) {
        const V lowBytes = _mm_set1_epi16(0x00FF);
        return _mm_or_si128(_mm_and_si128(lowBytes, even), _mm_andnot_si128(lowBytes, odd));
    }
    // Each byte from the destination where the mask byte is all ones, else from the blend.
    static V selectBytes(V keepDestination, V destination, V blended) {
        return select(keepDestination, destination, blended);
    }
};
#endif

#if defined(__AVX2__)
// ---- 256-bit registers (AVX2) ----
// The operations of Vec128 on both 128-bit halves. Shuffles and the word picks stay within each
// half, as broadcast constants need.

struct Vec256 {
    using V = __m256i;

    static V load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

    static V zero() { return _mm256_setzero_si256(); }
    static V splat16(std::uint32_t value) { return _mm256_set1_epi16(static_cast<short>(value & 0xFFFFu)); }
    static V splat32(std::uint32_t value) { return _mm256_set1_epi32(static_cast<int>(value)); }
    static V repeatHalves(__m128i half) { return _mm256_broadcastsi128_si256(half); }
    static __m128i count(unsigned bits) { return _mm_cvtsi32_si128(static_cast<int>(bits)); }

    static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
    static V bitAndNot(V mask, V v) { return _mm256_andnot_si256(mask, v); }
    static V addBytes(V a, V b) { return _mm256_add_epi8(a, b); }
    static V subtractBytes(V a, V b) { return _mm256_sub_epi8(a, b); }
    static V add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V subtract16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
    template <int Bits>
    static V shiftLeft16(V v) {
        return _mm256_slli_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRight16(V v) {
        return _mm256_srli_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRightSigned16(V v) {
        return _mm256_srai_epi16(v, Bits);
    }
    template <int Bits>
    static V shiftRight32(V v) {
        return _mm256_srli_epi32(v, Bits);
    }
    static V shiftLeft16(V v, __m128i bits) { return _mm256_sll_epi16(v, bits); }
    static V shiftRight16(V v, __m128i bits) { return _mm256_srl_epi16(v, bits); }
    static V shiftRightSigned16(V v, __m128i bits) { return _mm256_sra_epi16(v, bits); }
    static V multiplyHighUnsigned16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V multiplyHighSigned16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
    static V multiplyLow16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V evenWords(V v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0x88), 0x88); }
    static V oddWords(V v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xDD), 0xDD); }

    static V isZero16(V v) { return _mm256_cmpeq_epi16(v, _mm256_setzero_si256()); }
    static V isZero32(V v) { return _mm256_cmpeq_epi32(v, _mm256_setzero_si256()); }
    static bool allZero(V v) { return _mm256_testz_si256(v, v) != 0; }
    // Each byte from the destination where the mask byte's top bit is set, else from the blend.
    static V select(V keepDestination, V destination, V blended) {
        return _mm256_blendv_epi8(blended, destination, keepDestination);
    }
    static V keepWhereSourceZero(V source, V destination, V blended) {
        return select(isZero16(source), destination, blended);
    }

    static V shuffleBytes(V v, V indices) { return _mm256_shuffle_epi8(v, indices); }
    static V zeroBytes(V v) { return _mm256_cmpeq_epi8(v, _mm256_setzero_si256()); }
    static V evenAndOddBytes(V even, V odd) {
        return _mm256_blendv_epi8(even, odd, _mm256_set1_epi16(static_cast<short>(0xFF00)));
    }
    static V selectBytes(V keepDestination, V destination, V blended) {
        return select(keepDestination, destination, blended);
    }
};
#endif

#if defined(__AVX512BW__)
// ---- 512-bit registers (AVX-512): the row walk and word lookups of the AVX-512 twins ----
//
// A register of pixels a step, and the pixels a row leaves over in one step whose lane mask
// holds only them, so its loads never touch memory outside the row. Pixels the source leaves
// transparent (16-bit: 0; 32-bit: blue, green and red 0) are left out of the destination's load
// and of the store, and a step with none drawn ends there.

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

// Word tables: functions of a few bits of a 16-bit lane, looked up with the word permutations,
// which read only the low five (one register) or six bits (two registers) of each index lane,
// so an index needs no mask above those bits.

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
#endif

}  // namespace
}  // namespace ZelUISystem::blend
