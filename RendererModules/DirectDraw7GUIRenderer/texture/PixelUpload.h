#pragma once
// Conversion of raw pixels (three byte orders) into a locked surface's own layout.

#include <cstdint>

#include "platform/DirectDraw.h"
#include "blend/RGBMode.h"

namespace ZelUISystem {

// The destination rectangle inside a locked surface and the source rows that fill it.
struct UploadRect {
    const std::uint8_t* pixels;
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t pitch;
};

// Places an 8-bit channel value into the channel described by mask; returns the position of the
// mask's lowest set bit, or -1 for an empty mask.
int FitChannelToMask(std::uint32_t mask, std::uint32_t& value);

void FillFromRGB(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect);
void FillFromRGBA(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect);
void FillFromBGRA(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect);

}  // namespace ZelUISystem
