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
// touches lies inside the row; after the last one, at most one narrower group, then single
// pixels, each touching exactly its three bytes.
//
// Include only from files built with SSSE3 (or wider) flags, after the Pixels24Vector header
// of every register width used.

#include <tmmintrin.h>

#include <cstdint>

#include "blend/BlendArea.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {
namespace {

// All ones in every byte of a pixel whose three source bytes are 0 (transparent: the
// destination stays) and in byte 15 of each half, which belongs to no pixel of the group.
template <typename Register>
typename Register::Vector keepDestination24(typename Register::Vector source) {
    using Vector = typename Register::Vector;
    const Vector zero = zeroBytes(source);
    // Each byte takes the flags of the other two bytes of its pixel.
    const Vector next = Register::repeatHalves(_mm_setr_epi8(1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, -1));
    const Vector afterNext =
        Register::repeatHalves(_mm_setr_epi8(2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, -1));
    const Vector lastByte = Register::repeatHalves(_mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1));
    const Vector wholePixel = bitAnd(zero, bitAnd(shuffleBytes(zero, next), shuffleBytes(zero, afterNext)));
    return bitOr(wholePixel, lastByte);
}

// A per-channel value (blue, green, red) shifted left by shift, in each 16-bit lane of a half
// for the lane's low byte (oddByte false) or its high byte: lane j holds bytes 2j and 2j + 1.
inline __m128i channelPerLane(const std::uint32_t (&bgr)[3], bool oddByte, unsigned shift) {
    std::uint16_t lanes[8];
    for (int j = 0; j < 8; ++j)
        lanes[j] = static_cast<std::uint16_t>(bgr[(2 * j + (oddByte ? 1 : 0)) % 3] << shift);
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
}

template <typename Register>
bool groupFits(int firstPixel, std::int64_t rowBytes) {
    return std::int64_t{3} * firstPixel + Register::groupBytesTouched <= rowBytes;
}

// One row: groups of the Wide register, at most one group of the Narrow one, then single pixels.
// blendWide(source, destination) and blendNarrow(...) return a group's blended bytes;
// blendOne(source, destination) a single non-transparent pixel's.
template <typename Wide, typename Narrow, typename WideBlend, typename NarrowBlend, typename OneBlend>
void blendRow24(const std::uint8_t* source, std::uint8_t* destination, int width, WideBlend blendWide,
                NarrowBlend blendNarrow, OneBlend blendOne) {
    using WideVector = typename Wide::Vector;
    using NarrowVector = typename Narrow::Vector;
    const std::int64_t rowBytes = std::int64_t{3} * width;
    int i = 0;
    if (groupFits<Wide>(0, rowBytes)) {
        WideVector s = Wide::loadGroup(source);
        WideVector d = Wide::loadGroup(destination);
        for (int next = Wide::groupPixels; groupFits<Wide>(next, rowBytes); next += Wide::groupPixels) {
            const WideVector nextS = Wide::loadGroup(source + 3 * next);
            const WideVector nextD = Wide::loadGroup(destination + 3 * next);
            Wide::storeGroup(destination + 3 * i, blendWide(s, d));
            s = nextS;
            d = nextD;
            i = next;
        }
        const int last = i;
        i += Wide::groupPixels;
        if (groupFits<Narrow>(i, rowBytes)) {
            const NarrowVector narrowS = Narrow::loadGroup(source + 3 * i);
            const NarrowVector narrowD = Narrow::loadGroup(destination + 3 * i);
            Wide::storeGroup(destination + 3 * last, blendWide(s, d));
            Narrow::storeGroup(destination + 3 * i, blendNarrow(narrowS, narrowD));
            i += Narrow::groupPixels;
        } else {
            Wide::storeGroup(destination + 3 * last, blendWide(s, d));
        }
    } else if (groupFits<Narrow>(0, rowBytes)) {
        Narrow::storeGroup(destination, blendNarrow(Narrow::loadGroup(source), Narrow::loadGroup(destination)));
        i = Narrow::groupPixels;
    }
    for (; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        store24(d, blendOne(s, load24(d)));
    }
}

template <typename Wide, typename Narrow, typename WideBlend, typename NarrowBlend, typename OneBlend>
void blendRows24(const BlendArea& area, WideBlend blendWide, NarrowBlend blendNarrow, OneBlend blendOne) {
    forEachRow(area, [&](const std::uint8_t* source, std::uint8_t* destination, int width) {
        blendRow24<Wide, Narrow>(source, destination, width, blendWide, blendNarrow, blendOne);
    });
}

}  // namespace
}  // namespace ZelUISystem::blend
