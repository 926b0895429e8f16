#pragma once
// Reading and writing one pixel value of 1 to 4 bytes, and converting it between layouts.

#include "SurfaceFormat.h"

#include <cstdint>
#include <cstring>

namespace softddraw {

inline DWORD loadPixel(const std::uint8_t* pixel, DWORD bytesPerPixel) {
    DWORD value = 0;
    for (DWORD i = 0; i < bytesPerPixel; ++i) value |= DWORD{pixel[i]} << (8 * i);
    return value;
}

inline void storePixel(std::uint8_t* pixel, DWORD bytesPerPixel, DWORD value) {
    for (DWORD i = 0; i < bytesPerPixel; ++i) pixel[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// All bits of a pixel of that size.
inline DWORD pixelBits(DWORD bytesPerPixel) {
    return bytesPerPixel >= 4 ? 0xFFFFFFFFu : (DWORD{1} << (8 * bytesPerPixel)) - 1;
}

// Between two different layouts: each RGB channel rescaled to the destination's width with
// rounding; destination alpha from the source alpha, or opaque when the source has none; bits
// of no channel (X bits) set. Both layouts are RGB.
DWORD convertPixel(DWORD value, const SurfaceFormat& from, const SurfaceFormat& to);

}  // namespace softddraw
