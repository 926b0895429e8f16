#pragma once
// Reading and writing one pixel whose size (1 to 4 bytes) is known when compiling, so that the
// inner loops of blits and fills work on native-width values instead of byte loops.

#include "platform/DirectDraw.h"

#include <cstdint>
#include <cstring>

namespace softddraw {

// Pixels are little-endian values in memory: copying their bytes into the low end of a DWORD
// gives the same value loadPixel builds byte by byte. The native build is x86-64 only.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel loads assume little-endian memory");

template <unsigned Bytes>
inline DWORD loadFixedPixel(const std::uint8_t* pixel) {
    static_assert(Bytes >= 1 && Bytes <= 4, "pixels have 1 to 4 bytes");
    DWORD value = 0;
    std::memcpy(&value, pixel, Bytes);
    return value;
}

template <unsigned Bytes>
inline void storeFixedPixel(std::uint8_t* pixel, DWORD value) {
    static_assert(Bytes >= 1 && Bytes <= 4, "pixels have 1 to 4 bytes");
    std::memcpy(pixel, &value, Bytes);
}

}  // namespace softddraw
