#pragma once
// The pixel layouts a display (and a surface) can have, as DirectDraw describes them. Header
// only, so that tests of both builds can ask the real DirectDraw for the same layouts.

#include "platform/DirectDraw.h"

namespace softddraw {

inline DDPIXELFORMAT rgbPixelFormat(DWORD bitCount, DWORD red, DWORD green, DWORD blue,
                                    DWORD alpha = 0) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    format.dwRGBBitCount = bitCount;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

inline DDPIXELFORMAT palettized8Format() {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    return format;
}

inline DDPIXELFORMAT rgb555Format() { return rgbPixelFormat(16, 0x7C00, 0x03E0, 0x001F); }
inline DDPIXELFORMAT rgb565Format() { return rgbPixelFormat(16, 0xF800, 0x07E0, 0x001F); }
inline DDPIXELFORMAT rgb24Format() { return rgbPixelFormat(24, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT xrgb32Format() { return rgbPixelFormat(32, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT argb32Format() {
    return rgbPixelFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000);
}

}  // namespace softddraw
