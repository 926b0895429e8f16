#include "RectRules.h"

namespace softddraw {

Area areaOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

Area wholeArea(DWORD width, DWORD height) { return {0, 0, width, height}; }

Area areaOrWhole(const RECT* rect, DWORD width, DWORD height) {
    return rect != nullptr ? areaOf(*rect) : wholeArea(width, height);
}

bool isValidBlitArea(const Area& area, DWORD width, DWORD height) {
    return area.left >= 0 && area.top >= 0 && area.left < area.right &&
           area.top < area.bottom && area.right <= std::int64_t{width} &&
           area.bottom <= std::int64_t{height};
}

bool isValidLockArea(const Area& area, DWORD width, DWORD height) {
    return area.left >= 0 && area.top >= 0 && area.left <= area.right &&
           area.top <= area.bottom && area.right <= std::int64_t{width} &&
           area.bottom <= std::int64_t{height};
}

}  // namespace softddraw
