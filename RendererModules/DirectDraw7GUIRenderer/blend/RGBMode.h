#pragma once
// The pixel layout of a surface. Modes 0 to 4 are drawable: drawing, blending and pixel upload
// switch on them.

#include <cstdint>

namespace ZelUISystem {

enum RGBMode : std::uint32_t {
    DDS_RGBMODE_555 = 0,   // 16 bits, red 0x7C00, green 0x03E0, blue 0x001F
    DDS_RGBMODE_565 = 1,   // 16 bits, red 0xF800, green 0x07E0, blue 0x001F
    DDS_RGBMODE_16 = 2,    // 16 bits with any other masks
    DDS_RGBMODE_24 = 3,    // bytes blue, green, red
    DDS_RGBMODE_32 = 4,    // bytes blue, green, red, top byte
    DDS_RGBMODE_NONE = 5,  // unsupported bit count, or not yet known
    DDS_RGBMODE_8 = 6,     // 8 bits per pixel
};

inline constexpr bool isDrawableMode(std::uint32_t mode) { return mode <= DDS_RGBMODE_32; }

// Bits per pixel of a drawable mode; 0 for the others.
inline constexpr std::uint32_t bitsPerPixelOf(std::uint32_t mode) {
    return mode <= DDS_RGBMODE_16 ? 16 : mode == DDS_RGBMODE_24 ? 24 : mode == DDS_RGBMODE_32 ? 32 : 0;
}

}  // namespace ZelUISystem
