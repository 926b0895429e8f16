#include "blend/BlendInputs.h"

#include <limits>

namespace ZelUISystem::blend {

namespace {

// A side length from outside: negative, zero or beyond int means nothing to draw.
int sideLength(std::int64_t length) {
    if (length <= 0 || length > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(length);
}

// Only the low 16 bits of a description's masks can meet a 16-bit pixel.
ChannelMasks16 masksOfDescription(const DDSURFACEDESC2& desc) {
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    return {format.dwRBitMask & 0xFFFFu, format.dwGBitMask & 0xFFFFu, format.dwBBitMask & 0xFFFFu};
}

// Fixed for 555 and 565, the description's otherwise.
ChannelMasks16 masksForMode(std::uint32_t mode, const DDSURFACEDESC2& desc) {
    if (mode == DDS_RGBMODE_555) return {0x7C00u, 0x03E0u, 0x001Fu};
    if (mode == DDS_RGBMODE_565) return {0xF800u, 0x07E0u, 0x001Fu};
    return masksOfDescription(desc);
}

}  // namespace

bool readBlendInputs(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, const RECT* rect,
                     std::uint32_t mode, BlendInputs& inputs) {
    if (!isDrawableMode(mode)) return false;
    if (source == nullptr || destination == nullptr) return false;
    if (source->lpSurface == nullptr || destination->lpSurface == nullptr) return false;

    BlendArea& area = inputs.area;
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
    inputs.layout = BlendLayout{mode, masksForMode(mode, *source), masksForMode(mode, *destination)};
    return true;
}

bool lockedLayoutsAgree(const DDSURFACEDESC2& source, const DDSURFACEDESC2& destination, std::uint32_t mode) {
    const DDPIXELFORMAT& s = source.ddpfPixelFormat;
    const DDPIXELFORMAT& d = destination.ddpfPixelFormat;
    return s.dwRGBBitCount == d.dwRGBBitCount && s.dwRBitMask == d.dwRBitMask &&
           s.dwGBitMask == d.dwGBitMask && s.dwBBitMask == d.dwBBitMask &&
           s.dwRGBBitCount == bitsPerPixelOf(mode);
}

}  // namespace ZelUISystem::blend
