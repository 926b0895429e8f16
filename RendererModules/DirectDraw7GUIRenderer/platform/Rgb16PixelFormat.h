#pragma once
// The pixel format of a 16-bit RGB surface with the given channel masks, as a surface is
// requested in it (565 and 555 are the two the module and its hosts name).

#include "platform/DirectDraw.h"

namespace ZelUISystem {

inline DDPIXELFORMAT rgb16PixelFormat(DWORD redMask, DWORD greenMask, DWORD blueMask) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 16;
    format.dwRBitMask = redMask;
    format.dwGBitMask = greenMask;
    format.dwBBitMask = blueMask;
    return format;
}

}  // namespace ZelUISystem
