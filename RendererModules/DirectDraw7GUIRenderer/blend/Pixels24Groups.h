#pragma once
// The row walk of the 24-bit twins. Pixels are taken in groups of whole pixels: each 128-bit
// half holds five pixels in bytes 0-14, loaded from a pixel boundary, so every half has the same
// byte pattern (byte k is blue, green or red for k mod 3 = 0, 1, 2) and the blend works on the
// bytes where they lie, with no spreading and packing. Byte 15 of a half is the first byte of
// the next pixel: the blend gives it the destination's byte back, so storing all 16 bytes
// writes only bytes of the row, each with its right value.
//
// A group's store overlaps the next group's destination load by that one byte. A load that
// reads part of a store still in flight waits until the store has reached the cache, so the
// next group's source and destination are loaded before the current group is stored (the
// pointers may alias, so the compiler keeps that order). A group is taken only while all it
// touches lies inside the row; the at most five pixels after the last one are blended on the
// row's last 16 bytes, loaded before the row's first store.
//
// Include only from files built with SSSE3 (or wider) flags, after Pixels24Vector256.h where
// 256-bit registers are used: the templates find the operations of a width only when they are
// declared before them.

#include <tmmintrin.h>

#include <cstddef>
#include <cstdint>

#include "blend/BlendArea.h"
#include "blend/PixelAccess.h"
#include "blend/Pixels24Vector128.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem::blend {
namespace {

// All ones in every byte of a pixel whose three source bytes are 0 (transparent: the
// destination stays), 0 elsewhere and in byte 15 of each half.
template <typename Register>
typename Register::Vector transparentPixels24(typename Register::Vector source) {
    using Vector = typename Register::Vector;
    const Vector zero = zeroBytes(source);
    // Each byte takes the flags of the other two bytes of its pixel.
    const Vector next = Register::repeatHalves(_mm_setr_epi8(1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, -1));
    const Vector afterNext =
        Register::repeatHalves(_mm_setr_epi8(2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, -1));
    return bitAnd(zero, bitAnd(shuffleBytes(zero, next), shuffleBytes(zero, afterNext)));
}

// All ones in byte 15 of each half, which belongs to no pixel of the group.
template <typename Register>
typename Register::Vector lastByteOfHalves24() {
    return Register::repeatHalves(_mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1));
}

// A 16-bit value in the lanes of every half but the last, which holds byte 15: an operation
// that leaves a byte unchanged with a factor 0 there keeps the destination's byte 15.
template <typename Register>
typename Register::Vector splat16ExceptLast(std::uint32_t value) {
    const auto v = static_cast<short>(value);
    return Register::repeatHalves(_mm_setr_epi16(v, v, v, v, v, v, v, 0));
}

// A per-channel value (blue, green, red) shifted left by shift, in each 16-bit lane of a half
// for the lane's low byte (oddByte false) or its high byte: lane j holds bytes 2j and 2j + 1.
inline __m128i channelPerLane(const std::uint32_t (&bgr)[3], bool oddByte, unsigned shift) {
    std::uint16_t lanes[8];
    for (int j = 0; j < 8; ++j)
        lanes[j] = static_cast<std::uint16_t>(bgr[(2 * j + (oddByte ? 1 : 0)) % 3] << shift);
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
}

// The last group of a run: loaded and blended, not yet stored.
template <typename Register>
struct PendingGroup {
    std::int64_t offset;
    typename Register::Vector result;
};

// Blends the groups of Register from the row's first pixel on while they fit in the row, each
// loaded before the one before it is stored, and returns the last one unstored: whatever the
// caller still loads must be loaded before it stores it. A group must fit at the start.
template <typename Register, typename Blend>
PendingGroup<Register> blendGroupRun(const std::uint8_t* source, std::uint8_t* destination, std::int64_t rowBytes,
                                     const Blend& blendGroup) {
    using Vector = typename Register::Vector;
    constexpr int step = 3 * Register::groupPixels;
    // A copy of the blend's constants: the stores through destination might change the
    // caller's, which would have to be read again for every group.
    const Blend blend = blendGroup;
    // The loop moves pointers and counts down, so that a 32-bit build keeps no 64-bit offset.
    const std::int64_t moreGroups = (rowBytes - Register::groupBytesTouched) / step;
    const std::uint8_t* s = source;
    std::uint8_t* d = destination;
    Vector sourceGroup = Register::loadSourceGroup(s);
    Vector destinationGroup = Register::loadGroup(d);
    // Two groups a turn, so that no register is copied.
    for (std::int64_t pairs = moreGroups / 2; pairs > 0; --pairs) {
        const Vector nextSource = Register::loadSourceGroup(s + step);
        const Vector nextDestination = Register::loadGroup(d + step);
        Register::storeGroup(d, blend(sourceGroup, destinationGroup));
        sourceGroup = Register::loadSourceGroup(s + 2 * step);
        destinationGroup = Register::loadGroup(d + 2 * step);
        Register::storeGroup(d + step, blend(nextSource, nextDestination));
        s += 2 * step;
        d += 2 * step;
    }
    if (moreGroups % 2 != 0) {
        const Vector nextSource = Register::loadSourceGroup(s + step);
        const Vector nextDestination = Register::loadGroup(d + step);
        Register::storeGroup(d, blend(sourceGroup, destinationGroup));
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
    return {_mm_srli_si128(load128(source + rowBytes - 16), 1), _mm_srli_si128(load128(destination + rowBytes - 16), 1)};
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
    store128(destination + rowBytes - 16, selectLanes(alreadyBlended, earlier, _mm_slli_si128(blendedEnd, 1)));
}

// One row: groups of the Wide register, at most one group of five after them, then the row's
// last 16 bytes. A row of at most five pixels is too short for a group: single pixels.
// blendWide(source, destination) and blendNarrow(...) return a group's blended bytes (Wide and
// 128-bit registers); blendOne(source, destination) a single non-transparent pixel's.
template <typename Wide, typename WideBlend, typename NarrowBlend, typename OneBlend>
void blendRow24(const std::uint8_t* source, std::uint8_t* destination, std::int64_t width, const WideBlend& blendWide,
                const NarrowBlend& blendNarrow, const OneBlend& blendOne) {
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
    if (rowBytes < Wide::groupBytesTouched) {
        const PendingGroup<Register128> narrow = blendGroupRun<Register128>(source, destination, rowBytes, blendNarrow);
        store128(destination + narrow.offset, narrow.result);
        const std::int64_t done = narrow.offset + 3 * Register128::groupPixels;
        if (done < rowBytes) storeRowEnd24(destination, done, rowBytes, blendNarrow(end.source, end.destination), narrow.result);
        return;
    }
    const PendingGroup<Wide> wide = blendGroupRun<Wide>(source, destination, rowBytes, blendWide);
    const std::int64_t done = wide.offset + 3 * Wide::groupPixels;
    if constexpr (Wide::groupPixels > Register128::groupPixels) {
        // Six to ten pixels left: a group of five and the row end, blended in one register.
        if (done + Register128::groupBytesTouched <= rowBytes) {
            const __m128i s = load128(source + done);
            const __m128i d = load128(destination + done);
            Wide::storeGroup(destination + wide.offset, wide.result);
            const typename Wide::Vector both = blendWide(Wide::fromHalves(s, end.source), Wide::fromHalves(d, end.destination));
            store128(destination + done, Wide::firstHalf(both));
            storeRowEnd24(destination, done + 3 * Register128::groupPixels, rowBytes, Wide::lastHalf(both),
                          Wide::firstHalf(both));
            return;
        }
    }
    Wide::storeGroup(destination + wide.offset, wide.result);
    if (done < rowBytes)
        storeRowEnd24(destination, done, rowBytes, blendNarrow(end.source, end.destination), Wide::lastHalf(wide.result));
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
