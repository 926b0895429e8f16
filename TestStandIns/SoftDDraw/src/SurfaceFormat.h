#pragma once
// A surface's pixel layout as DirectDraw accepts it, with the masks the blits work with.

#include "platform/DirectDraw.h"

#include <cstdint>

namespace softddraw {

struct SurfaceFormat {
    DDPIXELFORMAT reported{};  // what GetSurfaceDesc and Lock hand back
    DWORD bytesPerPixel = 0;
    bool palettized = false;
    DWORD red = 0, green = 0, blue = 0, alpha = 0;
    // Bits compared against a source colour key: R|G|B, or the whole index when palettized.
    DWORD keyMask = 0;
    // Bits a colour fill writes: R|G|B|A, or the whole index when palettized.
    DWORD fillMask = 0;
};

// Checks a requested layout against the ones DirectDraw creates surfaces in; fills `format`
// and returns DD_OK, or DDERR_INVALIDPIXELFORMAT.
HRESULT surfaceFormatFor(const DDPIXELFORMAT& requested, SurfaceFormat& format);

bool sameLayout(const SurfaceFormat& a, const SurfaceFormat& b);
// Whether DirectDraw carries a blit's pixels from one RGB layout to the other. Only a few pairs
// convert (565 to X8R8G8B8, and between X8R8G8B8 and A8R8G8B8); between any other two layouts a
// blit succeeds and writes nothing, as Wine's DirectDraw does.
bool blitConverts(const SurfaceFormat& from, const SurfaceFormat& to);

// Row size in bytes rounded up to 8, computed in 32 bits exactly as DirectDraw does (so that
// absurd widths wrap around the same way).
std::uint32_t wrappedPitch(std::uint32_t width, std::uint32_t bytesPerPixel);
// The same without wrapping, for sizing memory.
std::uint64_t exactPitch(std::uint32_t width, std::uint32_t bytesPerPixel);

}  // namespace softddraw
