#pragma once
// 24-bit pixels in vector registers: the row walk of the 24-bit twins (*24_ssse3.cpp,
// *24_avx2.cpp) and the byte formulas of the three operations, each written once for a
// register width W (Vec128 or Vec256, Registers.h). Rows too short for a group take the
// reference's own formulas (PixelFormulas.h).
//
// Pixels are taken in groups of whole pixels: each 128-bit half holds five pixels in bytes 0-14,
// loaded from a pixel boundary, so every half has the same byte pattern (byte k is blue, green
// or red for k mod 3 = 0, 1, 2) and the blend works on the bytes where they lie, with no
// spreading and packing. Byte 15 of a half is the first byte of the next pixel: the blend gives
// it the destination's byte back, so storing all 16 bytes writes only bytes of the row, each
// with its right value.
//
// A group's store overlaps the next group's destination load by that one byte. A load that
// reads part of a store still in flight waits until the store has reached the cache, so the
// next group's source and destination are loaded before the current group is stored (the
// pointers may alias, so the compiler keeps that order). A group is taken only while all it
// touches lies inside the row; the at most five pixels after the last one are blended on the
// row's last 16 bytes, loaded before the row's first store.

#if !defined(__SSSE3__)
#error "Registers24.h holds SSSE3 code: include it only from files built with SSSE3 (or wider) flags"
#endif

#include <cstddef>
#include <cstdint>

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"

namespace ZelUISystem::blend {
namespace {

// ---- Groups ----

// How a register of width W holds a group of pixels: its size and its loads and stores.
template <typename W>
struct Group24;

// Five pixels: the group touches the 16 bytes from its first pixel.
template <>
struct Group24<Vec128> {
    static constexpr int pixels = 5;
    static constexpr int bytesTouched = 16;
    static __m128i load(const std::uint8_t* p) { return Vec128::load(p); }
    static __m128i loadSource(const std::uint8_t* p) { return Vec128::load(p); }  // the same
    static void store(std::uint8_t* p, __m128i v) { Vec128::store(p, v); }
    // The 128-bit half holding the group's last pixels.
    static __m128i lastHalf(__m128i v) { return v; }
};

#if defined(__AVX2__)
// Ten pixels, five in each 128-bit half, the low half loaded from the group's first pixel and
// the high half from 15 bytes further, so both halves start at a pixel boundary and share one
// byte pattern. Byte 15 of the low half is the high half's byte 0 again; byte 15 of the high
// half is the first byte after the group. The group touches the 31 bytes from its first pixel.
// The low half is stored first, so the high half's store gives the byte they share its final
// value.
template <>
struct Group24<Vec256> {
    static constexpr int pixels = 10;
    static constexpr int bytesTouched = 31;
    static __m256i load(const std::uint8_t* p) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(Vec128::load(p)), Vec128::load(p + 15), 1);
    }
    // The same for the source, whose high half goes through a broadcast load and a blend of
    // 32-bit lanes instead of an insert: the blend can run on any vector pipe, the insert only
    // on fewer, which the twins' shuffles also need. One load of each kind was measured
    // fastest, by 1 to 4 %.
    static __m256i loadSource(const std::uint8_t* p) {
        return _mm256_blend_epi32(_mm256_castsi128_si256(Vec128::load(p)),
                                  _mm256_broadcastsi128_si256(Vec128::load(p + 15)), 0xF0);
    }
    static void store(std::uint8_t* p, __m256i v) {
        Vec128::store(p, _mm256_castsi256_si128(v));
        Vec128::store(p + 15, _mm256_extracti128_si256(v, 1));
    }
    // Two groups of five as the low and high half.
    static __m256i fromHalves(__m128i low, __m128i high) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
    static __m128i firstHalf(__m256i v) { return _mm256_castsi256_si128(v); }
    static __m128i lastHalf(__m256i v) { return _mm256_extracti128_si256(v, 1); }
};
#endif

// All ones in every byte of a pixel whose three source bytes are 0 (transparent: the
// destination stays), 0 elsewhere and in byte 15 of each half.
template <typename W>
typename W::V transparentPixels24(typename W::V source) {
    using V = typename W::V;
    const V zero = W::zeroBytes(source);
    // Each byte takes the flags of the other two bytes of its pixel.
    const V next = W::repeatHalves(_mm_setr_epi8(1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, -1));
    const V afterNext = W::repeatHalves(_mm_setr_epi8(2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, -1));
    return W::bitAnd(zero, W::bitAnd(W::shuffleBytes(zero, next), W::shuffleBytes(zero, afterNext)));
}

// All ones in byte 15 of each half, which belongs to no pixel of the group.
template <typename W>
typename W::V lastByteOfHalves24() {
    return W::repeatHalves(_mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1));
}

// A 16-bit value in the lanes of every half but the last, which holds byte 15: an operation
// that leaves a byte unchanged with a factor 0 there keeps the destination's byte 15.
template <typename W>
typename W::V splat16ExceptLast(std::uint32_t value) {
    const auto v = static_cast<short>(value);
    return W::repeatHalves(_mm_setr_epi16(v, v, v, v, v, v, v, 0));
}

// A per-channel value (blue, green, red) shifted left by shift, in each 16-bit lane of a half
// for the lane's low byte (oddByte false) or its high byte: lane j holds bytes 2j and 2j + 1.
inline __m128i channelPerLane(const std::uint32_t (&bgr)[3], bool oddByte, unsigned shift) {
    std::uint16_t lanes[8];
    for (int j = 0; j < 8; ++j)
        lanes[j] = static_cast<std::uint16_t>(bgr[(2 * j + (oddByte ? 1 : 0)) % 3] << shift);
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
}

// ---- The operations on a group, byte by byte where the bytes lie ----
// Each byte's arithmetic runs in the 16-bit lane that holds it: the low (even) byte masked with
// 0x00FF, the high (odd) byte masked with 0xFF00 or shifted down. Every result keeps the
// destination in transparent pixels and in byte 15 of each half.

// Constant alpha: out = d - floor(d*a/256) + floor(s*a/256) per byte for a in 0..255. The
// result always lies in 0..255 (a <= 256), so byte arithmetic that wraps gives it exactly.
template <typename W>
struct AlphaBytes24 {
    using V = typename W::V;
    V lowBytes;
    V evenAlphaHigh;  // a << 8 in every lane; a = 256 does not fit, see OpaqueBytes24
    V oddAlphaHigh;   // the same but 0 for byte 15: out = d there

    explicit AlphaBytes24(std::uint32_t a)
        : lowBytes(W::splat16(0x00FF)), evenAlphaHigh(W::splat16(a << 8)), oddAlphaHigh(splat16ExceptLast<W>(a << 8)) {}

    // floor(x*a/256) of every byte: for the low byte the top half of x*(a << 8); for the high
    // byte, (x AND 0xFF00)*(a << 8) has x*a as its top half, whose high byte is floor(x*a/256).
    V scale(V x) const {
        return W::evenAndOddBytes(W::multiplyHighUnsigned16(W::bitAnd(x, lowBytes), evenAlphaHigh),
                                  W::multiplyHighUnsigned16(W::bitAndNot(lowBytes, x), oddAlphaHigh));
    }

    // The move out - d is added as a byte that wraps; transparent pixels get none.
    V operator()(V s, V d) const {
        const V move = W::subtractBytes(scale(s), scale(d));
        return W::addBytes(d, W::bitAndNot(transparentPixels24<W>(s), move));
    }
};

// Constant alpha 256: out = s.
template <typename W>
struct OpaqueBytes24 {
    using V = typename W::V;
    V operator()(V s, V d) const {
        const V keep = W::bitOr(transparentPixels24<W>(s), lastByteOfHalves24<W>());
        return W::selectBytes(keep, d, s);
    }
};

// Colour-modulated: s' = floor(s*f/256) with the channel's factor f (0..255),
// out = d + floor((s' - d)*a/256).
template <typename W>
struct ColourModulatedBytes24 {
    using V = typename W::V;
    V lowBytes;
    V evenFactorHigh;  // the low byte's factor << 8 in every lane
    V oddFactor;       // the high byte's factor in every lane
    V alphaTimes2;     // 2a in every lane
    V oddAlpha;        // a in every lane but 0 for byte 15: out = d there

    explicit ColourModulatedBytes24(const ColourAlpha& k)
        : lowBytes(W::splat16(0x00FF)), alphaTimes2(W::splat16(2 * k.alpha)), oddAlpha(splat16ExceptLast<W>(k.alpha)) {
        const std::uint32_t bgr[3] = {k.blue, k.green, k.red};
        evenFactorHigh = W::repeatHalves(channelPerLane(bgr, false, 8));
        oddFactor = W::repeatHalves(channelPerLane(bgr, true, 0));
    }

    V operator()(V s, V d) const {
        // The low byte times f << 8, and the high byte in place (times 256) times f: both give
        // floor(s*f/256) as the top half.
        const V evenModulated = W::multiplyHighUnsigned16(W::bitAnd(s, lowBytes), evenFactorHigh);
        const V oddModulated = W::multiplyHighUnsigned16(W::bitAndNot(lowBytes, s), oddFactor);
        // out - d = floor((s' - d)*a/256) lies in -255..255 and out in 0..255, so it is added
        // to d as a byte that wraps; transparent pixels get none. Low byte: the top half of the
        // signed product of (s' - d)*128, which fits a lane, and 2a. High byte: bits 8-15 of
        // (s' - d)*a, the part of the product a lane keeps, are that move modulo 256.
        const V evenMove = W::multiplyHighSigned16(
            W::template shiftLeft16<7>(W::subtract16(evenModulated, W::bitAnd(d, lowBytes))), alphaTimes2);
        const V oddMove = W::multiplyLow16(W::subtract16(oddModulated, W::template shiftRight16<8>(d)), oddAlpha);
        return W::addBytes(d, W::bitAndNot(transparentPixels24<W>(s), W::evenAndOddBytes(evenMove, oddMove)));
    }
};

// 50 % average in lanes: out = (d >> 1 AND 0x7F) + (s >> 1 AND 0x7F) per byte: the mask drops
// the bit a 16-bit shift moves from the high byte into the low one.
template <typename W>
struct HalfBytes24 {
    using V = typename W::V;
    V operator()(V s, V d) const {
        const V halved = W::splat16(0x7F7F);
        const V average = W::addBytes(W::bitAnd(W::template shiftRight16<1>(d), halved),
                                      W::bitAnd(W::template shiftRight16<1>(s), halved));
        const V keep = W::bitOr(transparentPixels24<W>(s), lastByteOfHalves24<W>());
        return W::selectBytes(keep, d, average);
    }
};

// ---- Rows ----

// The last group of a run: loaded and blended, not yet stored.
template <typename W>
struct PendingGroup {
    std::int64_t offset;
    typename W::V result;
};

// Blends the groups of width W from the row's first pixel on while they fit in the row, each
// loaded before the one before it is stored, and returns the last one unstored: whatever the
// caller still loads must be loaded before it stores it. A group must fit at the start.
template <typename W, typename Blend>
PendingGroup<W> blendGroupRun(const std::uint8_t* source, std::uint8_t* destination, std::int64_t rowBytes,
                              const Blend& blendGroup) {
    using V = typename W::V;
    using Group = Group24<W>;
    constexpr int step = 3 * Group::pixels;
    // A copy of the blend's constants: the stores through destination might change the
    // caller's, which would have to be read again for every group.
    const Blend blend = blendGroup;
    // The loop moves pointers and counts down, so that a 32-bit build keeps no 64-bit offset.
    const std::int64_t moreGroups = (rowBytes - Group::bytesTouched) / step;
    const std::uint8_t* s = source;
    std::uint8_t* d = destination;
    V sourceGroup = Group::loadSource(s);
    V destinationGroup = Group::load(d);
    // Two groups a turn, so that no register is copied.
    for (std::int64_t pairs = moreGroups / 2; pairs > 0; --pairs) {
        const V nextSource = Group::loadSource(s + step);
        const V nextDestination = Group::load(d + step);
        Group::store(d, blend(sourceGroup, destinationGroup));
        sourceGroup = Group::loadSource(s + 2 * step);
        destinationGroup = Group::load(d + 2 * step);
        Group::store(d + step, blend(nextSource, nextDestination));
        s += 2 * step;
        d += 2 * step;
    }
    if (moreGroups % 2 != 0) {
        const V nextSource = Group::loadSource(s + step);
        const V nextDestination = Group::load(d + step);
        Group::store(d, blend(sourceGroup, destinationGroup));
        sourceGroup = nextSource;
        destinationGroup = nextDestination;
        d += step;
    }
    return {d - destination, blend(sourceGroup, destinationGroup)};
}

// The row's last 16 bytes, loaded before anything of the row is stored, shifted down by one
// byte: bytes 0-14 are the row's last five pixels, a group like any other.
struct RowEnd24 {
    __m128i source;
    __m128i destination;
};

inline RowEnd24 loadRowEnd24(const std::uint8_t* source, const std::uint8_t* destination, std::int64_t rowBytes) {
    return {_mm_srli_si128(Vec128::load(source + rowBytes - 16), 1),
            _mm_srli_si128(Vec128::load(destination + rowBytes - 16), 1)};
}

// Stores the row's last 16 bytes when pixels are left after byte done (at most five): theirs
// from blendedEnd, the row end's blend; the bytes before done are pixels already blended, whose
// results are still in lastHalf, the final half of the group that ends at done (byte 15 of that
// half is the first byte after done).
inline void storeRowEnd24(std::uint8_t* destination, std::int64_t done, std::int64_t rowBytes, __m128i blendedEnd,
                          __m128i lastHalf) {
    const auto left = static_cast<int>(rowBytes - done);  // 3 per pixel left, 0 to 15
    if (left == 0) return;
    // Byte j of the row end is byte j + left - 1 of lastHalf.
    const __m128i position = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i alreadyBlended = _mm_cmplt_epi8(position, _mm_set1_epi8(static_cast<char>(16 - left)));
    const __m128i earlier = _mm_shuffle_epi8(lastHalf, _mm_add_epi8(position, _mm_set1_epi8(static_cast<char>(left - 1))));
    Vec128::store(destination + rowBytes - 16, Vec128::select(alreadyBlended, earlier, _mm_slli_si128(blendedEnd, 1)));
}

// One row: groups of the Wide width, at most one group of five after them, then the row's
// last 16 bytes. A row of at most five pixels is too short for a group: single pixels.
// blendWide(source, destination) and blendNarrow(...) return a group's blended bytes (Wide and
// 128-bit registers); blendOne(source, destination) a single non-transparent pixel's.
template <typename Wide, typename WideBlend, typename NarrowBlend, typename OneBlend>
void blendRow24(const std::uint8_t* source, std::uint8_t* destination, std::int64_t width, const WideBlend& blendWide,
                const NarrowBlend& blendNarrow, const OneBlend& blendOne) {
    using WideGroup = Group24<Wide>;
    using NarrowGroup = Group24<Vec128>;
    const std::int64_t rowBytes = 3 * width;
    if (rowBytes < 16) {
        for (std::int64_t i = 0; i < width; ++i) {
            const std::uint32_t s = load24(source + 3 * i);
            if (s == 0) continue;
            std::uint8_t* d = destination + 3 * i;
            store24(d, blendOne(s, load24(d)));
        }
        return;
    }
    const RowEnd24 end = loadRowEnd24(source, destination, rowBytes);
    if (rowBytes < WideGroup::bytesTouched) {
        const PendingGroup<Vec128> narrow = blendGroupRun<Vec128>(source, destination, rowBytes, blendNarrow);
        Vec128::store(destination + narrow.offset, narrow.result);
        const std::int64_t done = narrow.offset + 3 * NarrowGroup::pixels;
        if (done < rowBytes) storeRowEnd24(destination, done, rowBytes, blendNarrow(end.source, end.destination), narrow.result);
        return;
    }
    const PendingGroup<Wide> wide = blendGroupRun<Wide>(source, destination, rowBytes, blendWide);
    const std::int64_t done = wide.offset + 3 * WideGroup::pixels;
    if constexpr (WideGroup::pixels > NarrowGroup::pixels) {
        // Six to ten pixels left: a group of five and the row end, blended in one register.
        if (done + NarrowGroup::bytesTouched <= rowBytes) {
            const __m128i s = Vec128::load(source + done);
            const __m128i d = Vec128::load(destination + done);
            WideGroup::store(destination + wide.offset, wide.result);
            const typename Wide::V both =
                blendWide(WideGroup::fromHalves(s, end.source), WideGroup::fromHalves(d, end.destination));
            Vec128::store(destination + done, WideGroup::firstHalf(both));
            storeRowEnd24(destination, done + 3 * NarrowGroup::pixels, rowBytes, WideGroup::lastHalf(both),
                          WideGroup::firstHalf(both));
            return;
        }
    }
    WideGroup::store(destination + wide.offset, wide.result);
    if (done < rowBytes)
        storeRowEnd24(destination, done, rowBytes, blendNarrow(end.source, end.destination), WideGroup::lastHalf(wide.result));
}

template <typename Wide, typename WideBlend, typename NarrowBlend, typename OneBlend>
void blendRows24(const BlendArea& area, const WideBlend& blendWide, const NarrowBlend& blendNarrow,
                 const OneBlend& blendOne) {
    // Rows back to back on both sides are one row: no row ends to finish. (Such an area is one
    // block of memory, so its size fits the address space.)
    const std::int64_t rowBytes = std::int64_t{3} * area.width;
    const std::int64_t pixels = std::int64_t{area.width} * area.height;
    if (area.width > 0 && area.height > 1 && area.sourcePitch == rowBytes && area.destinationPitch == rowBytes &&
        pixels <= PTRDIFF_MAX / 3) {
        blendRow24<Wide>(area.source, area.destination, pixels, blendWide, blendNarrow, blendOne);
        return;
    }
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        blendRow24<Wide>(source, destination, width, blendWide, blendNarrow, blendOne);
    });
}

}  // namespace
}  // namespace ZelUISystem::blend
