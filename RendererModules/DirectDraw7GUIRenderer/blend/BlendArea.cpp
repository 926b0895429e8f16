#include "blend/BlendArea.h"

#include <limits>

namespace ZelUISystem::blend {

namespace {

// A side length from outside: negative, zero or beyond int means nothing to draw.
int sideLength(std::int64_t length) {
    if (length <= 0 || length > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(length);
}

}  // namespace

bool resolveBlendArea(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination,
                      const RECT* rect, BlendArea& area) {
    if (source == nullptr || destination == nullptr) return false;
    if (source->lpSurface == nullptr || destination->lpSurface == nullptr) return false;

    area.source = static_cast<const std::uint8_t*>(source->lpSurface);
    area.destination = static_cast<std::uint8_t*>(destination->lpSurface);
    area.sourcePitch = source->lPitch;
    area.destinationPitch = destination->lPitch;
    if (rect != nullptr) {
        area.width = sideLength(std::int64_t{rect->right} - rect->left);
        area.height = sideLength(std::int64_t{rect->bottom} - rect->top);
    } else {
        area.width = sideLength(source->dwWidth);
        area.height = sideLength(source->dwHeight);
    }
    if (area.width == 0 || area.height == 0) area.width = area.height = 0;
    return true;
}

}  // namespace ZelUISystem::blend
