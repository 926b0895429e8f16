// Classifies a surface's pixel format into the RGB mode that drawing, blending and upload use.

#include "diagnostics/ModuleLogger.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

RGBMode CDD7Texture::GetRGBMode(const DDSURFACEDESC2& desc) {
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    switch (format.dwRGBBitCount) {
        case 32: return DDS_RGBMODE_32;
        case 24: return DDS_RGBMODE_24;
        case 16:
            if (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 && format.dwBBitMask == 0x001F)
                return DDS_RGBMODE_565;
            if (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x03E0 && format.dwBBitMask == 0x001F)
                return DDS_RGBMODE_555;
            return DDS_RGBMODE_16;
        case 8:
            logLine(kLogLevelInfo, "CDD7Texture::GetRGBMode return DDS_RGBMODE_8 (RGBBitCount %d)", 8);
            return DDS_RGBMODE_8;
        default:
            logLine(kLogLevelError, "CDD7Texture::GetRGBMode return DDS_RGBMODE_NONE (RGBBitCount %d)",
                    static_cast<int>(format.dwRGBBitCount));
            return DDS_RGBMODE_NONE;
    }
}

}  // namespace ZelUISystem
