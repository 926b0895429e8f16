#pragma once
// The pixel work of Blt and BltFast on committed surface memory: colour fills and copies
// (raw, converting, stretched, colour-keyed). Callers have validated every rectangle.

#include "RectRules.h"
#include "SurfaceFormat.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace softddraw {

struct PixelPlane {
    std::uint8_t* base = nullptr;
    std::size_t pitch = 0;
    const SurfaceFormat* format = nullptr;

    std::uint8_t* at(std::int64_t x, std::int64_t y) const {
        return base + static_cast<std::size_t>(y) * pitch +
               static_cast<std::size_t>(x) * format->bytesPerPixel;
    }
};

// Source pixels p with low <= (p & key mask) <= high are not copied.
struct KeyRange {
    DWORD low = 0;
    DWORD high = 0;
};

// Writes the fill value, truncated to the pixel size and limited to the layout's channels.
void fillArea(const PixelPlane& plane, const Area& area, DWORD fillValue);

struct BlitKeys {
    std::optional<KeyRange> source;  // source pixels in range are not copied
    // Only destination pixels whose whole value (unused bits included) is in range are written.
    std::optional<KeyRange> dest;
};

// Copies the source area onto the destination area, stretching with DirectDraw's
// nearest-neighbour rule when the sizes differ. Overlapping areas of one surface behave as if
// the source were read completely first. Between a palettized and another layout nothing is
// written (there is never a palette to convert through).
void blitArea(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
              const Area& sourceArea, const BlitKeys& keys);

}  // namespace softddraw
