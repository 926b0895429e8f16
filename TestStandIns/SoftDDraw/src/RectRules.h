#pragma once
// Rectangles as DirectDraw checks them. Work in 64 bits: surface sizes are 32-bit unsigned and
// callers' rectangles are untrusted.

#include "platform/DirectDraw.h"

#include <cstdint>

namespace softddraw {

struct Area {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
};

Area areaOf(const RECT& rect);
Area wholeArea(DWORD width, DWORD height);
// The given rectangle, or the whole surface when there is none.
Area areaOrWhole(const RECT* rect, DWORD width, DWORD height);

// Blits and fills: non-empty and inside, 0 <= left < right <= width (same vertically).
bool isValidBlitArea(const Area& area, DWORD width, DWORD height);
// Locks: inside and not inverted; empty rectangles are accepted.
bool isValidLockArea(const Area& area, DWORD width, DWORD height);

}  // namespace softddraw
