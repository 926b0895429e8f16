#pragma once
// The three operations on a group of 24-bit pixels (Pixels24Groups.h), byte by byte where the
// bytes lie, for 128- and 256-bit registers alike. Each byte's arithmetic runs in the 16-bit
// lane that holds it: the low (even) byte masked with 0x00FF, the high (odd) byte masked with
// 0xFF00 or shifted down. Every result keeps the destination in transparent pixels and in
// byte 15 of each half. Include only from files built with SSSE3 (or wider) flags, after
// Pixels24Vector256.h where 256-bit registers are used.

#include <cstdint>

#include "blend/ColorAlphaPixel.h"
#include "blend/Pixels24Groups.h"

namespace ZelUISystem::blend {
namespace {

// out = d - floor(d*a/256) + floor(s*a/256) per byte for a in 0..255. The result always lies
// in 0..255 (a <= 256), so byte arithmetic that wraps gives it exactly.
template <typename Register>
struct AlphaBytes24 {
    using Vector = typename Register::Vector;
    Vector lowBytes;
    Vector evenAlphaHigh;  // a << 8 in every lane; a = 256 does not fit, see OpaqueBytes24
    Vector oddAlphaHigh;   // the same but 0 for byte 15: out = d there

    explicit AlphaBytes24(std::uint32_t a)
        : lowBytes(Register::splat16(0x00FF)),
          evenAlphaHigh(Register::splat16(a << 8)),
          oddAlphaHigh(splat16ExceptLast<Register>(a << 8)) {}

    // floor(x*a/256) of every byte: for the low byte the top half of x*(a << 8); for the high
    // byte, (x AND 0xFF00)*(a << 8) has x*a as its top half, whose high byte is floor(x*a/256).
    Vector scale(Vector x) const {
        return evenAndOddBytes(multiplyHighUnsigned16(bitAnd(x, lowBytes), evenAlphaHigh),
                               multiplyHighUnsigned16(bitAndNot(lowBytes, x), oddAlphaHigh));
    }

    // The move out - d is added as a byte that wraps; transparent pixels get none.
    Vector operator()(Vector s, Vector d) const {
        const Vector move = subtractBytes(scale(s), scale(d));
        return addBytes(d, bitAndNot(transparentPixels24<Register>(s), move));
    }
};

// Alpha 256: out = s.
template <typename Register>
struct OpaqueBytes24 {
    using Vector = typename Register::Vector;
    Vector operator()(Vector s, Vector d) const {
        const Vector keep = bitOr(transparentPixels24<Register>(s), lastByteOfHalves24<Register>());
        return selectBytes(keep, d, s);
    }
};

// s' = floor(s*f/256) with the channel's factor f (0..255), out = d + floor((s' - d)*a/256).
template <typename Register>
struct ColourModulatedBytes24 {
    using Vector = typename Register::Vector;
    Vector lowBytes;
    Vector evenFactorHigh;  // the low byte's factor << 8 in every lane
    Vector oddFactor;       // the high byte's factor in every lane
    Vector alphaTimes2;     // 2a in every lane
    Vector oddAlpha;        // a in every lane but 0 for byte 15: out = d there

    explicit ColourModulatedBytes24(const ColourAlpha& k)
        : lowBytes(Register::splat16(0x00FF)),
          alphaTimes2(Register::splat16(2 * k.alpha)),
          oddAlpha(splat16ExceptLast<Register>(k.alpha)) {
        const std::uint32_t bgr[3] = {k.blue, k.green, k.red};
        evenFactorHigh = Register::repeatHalves(channelPerLane(bgr, false, 8));
        oddFactor = Register::repeatHalves(channelPerLane(bgr, true, 0));
    }

    Vector operator()(Vector s, Vector d) const {
        // The low byte times f << 8, and the high byte in place (times 256) times f: both give
        // floor(s*f/256) as the top half.
        const Vector evenModulated = multiplyHighUnsigned16(bitAnd(s, lowBytes), evenFactorHigh);
        const Vector oddModulated = multiplyHighUnsigned16(bitAndNot(lowBytes, s), oddFactor);
        // out - d = floor((s' - d)*a/256) lies in -255..255 and out in 0..255, so it is added
        // to d as a byte that wraps; transparent pixels get none. Low byte: the top half of the
        // signed product of (s' - d)*128, which fits a lane, and 2a. High byte: bits 8-15 of
        // (s' - d)*a, the part of the product a lane keeps, are that move modulo 256.
        const Vector evenMove = multiplyHighSigned16(
            shiftLeft16<7>(subtract16(evenModulated, bitAnd(d, lowBytes))), alphaTimes2);
        const Vector oddMove = multiplyLow16(subtract16(oddModulated, shiftRight16<8>(d)), oddAlpha);
        return addBytes(d, bitAndNot(transparentPixels24<Register>(s), evenAndOddBytes(evenMove, oddMove)));
    }
};

// out = (d >> 1 AND 0x7F) + (s >> 1 AND 0x7F) per byte: the mask drops the bit a 16-bit shift
// moves from the high byte into the low one.
template <typename Register>
struct HalfBytes24 {
    using Vector = typename Register::Vector;
    Vector operator()(Vector s, Vector d) const {
        const Vector halved = Register::splat16(0x7F7F);
        const Vector average = addBytes(bitAnd(shiftRight16<1>(d), halved), bitAnd(shiftRight16<1>(s), halved));
        const Vector keep = bitOr(transparentPixels24<Register>(s), lastByteOfHalves24<Register>());
        return selectBytes(keep, d, average);
    }
};

}  // namespace
}  // namespace ZelUISystem::blend
