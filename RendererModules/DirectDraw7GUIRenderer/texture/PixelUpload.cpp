// Raw pixels to surface pixels. Pixel value 0 is the module's transparent colour, and each
// source layout treats it its own way: RGB leaves black at 0, RGBA makes alpha 0 into 0 (and
// premultiplies colour by alpha), BGRA moves black off 0 so it never becomes transparent.

#include "texture/PixelUpload.h"

#include <cstddef>

#include "blend/PixelAccess.h"
#include "blend/PixelPacking.h"

namespace ZelUISystem {

namespace {

using blend::load32;
using blend::pack555;
using blend::pack565;
using blend::store16;
using blend::store32;

struct ChannelMasks {
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

ChannelMasks masksOf(const DDSURFACEDESC2& locked) {
    const DDPIXELFORMAT& format = locked.ddpfPixelFormat;
    return {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
}

std::uint32_t packToMasks(const ChannelMasks& masks, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    FitChannelToMask(masks.red, r);
    FitChannelToMask(masks.green, g);
    FitChannelToMask(masks.blue, b);
    return r | g | b;
}

// Walks the rectangle row by row and hands each source pixel and its destination pixel to
// `convert`; one instantiation per format and mode, so no per-pixel dispatch. Pixels are
// written with the mode's size, so nothing is written when the locked surface's pixels have
// another size (a texture whose layout no longer describes its surface).
template <std::size_t SourceBytes, typename Convert>
void convertRect(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect, Convert convert) {
    if (locked.ddpfPixelFormat.dwRGBBitCount != bitsPerPixelOf(mode)) return;
    const std::size_t targetBytes = bitsPerPixelOf(mode) / 8;
    const std::ptrdiff_t targetPitch = locked.lPitch;
    std::uint8_t* targetRow = static_cast<std::uint8_t*>(locked.lpSurface) +
                              static_cast<std::ptrdiff_t>(rect.y) * targetPitch +
                              static_cast<std::ptrdiff_t>(rect.x * targetBytes);
    const std::uint8_t* sourceRow = rect.pixels;
    for (std::uint32_t row = 0; row < rect.height; ++row) {
        const std::uint8_t* source = sourceRow;
        std::uint8_t* target = targetRow;
        for (std::uint32_t column = 0; column < rect.width; ++column) {
            convert(source, target);
            source += SourceBytes;
            target += targetBytes;
        }
        // The last row moves no further: the next row may lie outside the caller's buffer.
        if (row + 1 < rect.height) {
            sourceRow += rect.pitch;
            targetRow += targetPitch;
        }
    }
}

// Colour premultiplied by alpha, as the 15/16/24/32-bit layouts store it.
struct Premultiplied {
    std::uint32_t r, g, b;
};

Premultiplied premultiply(const std::uint8_t* s) {
    const std::uint32_t a = s[3];
    if (a == 255) return {s[0], s[1], s[2]};
    return {(s[0] * (a + 1)) >> 8, (s[1] * (a + 1)) >> 8, (s[2] * (a + 1)) >> 8};
}

}  // namespace

int FitChannelToMask(std::uint32_t mask, std::uint32_t& value) {
    int position = -1;
    int bitCount = 0;
    for (int bit = 0; bit < 32; ++bit) {
        const bool set = (mask >> bit) & 1u;
        if (set) {
            if (position < 0) position = bit;
            ++bitCount;
        } else if (position >= 0) {
            break;
        }
    }
    if (bitCount < 8) value >>= (8 - bitCount);
    if (position > 0) value <<= position;
    return position;
}

void FillFromRGB(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect) {
    switch (mode) {
        case DDS_RGBMODE_555:
            convertRect<3>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                store16(t, pack555(s[0], s[1], s[2]));
            });
            break;
        case DDS_RGBMODE_565:
            convertRect<3>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                store16(t, pack565(s[0], s[1], s[2]));
            });
            break;
        case DDS_RGBMODE_16: {
            const ChannelMasks masks = masksOf(locked);
            convertRect<3>(locked, mode, rect, [&masks](const std::uint8_t* s, std::uint8_t* t) {
                store16(t, packToMasks(masks, s[0], s[1], s[2]));
            });
            break;
        }
        case DDS_RGBMODE_24:
            convertRect<3>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                t[0] = s[2];
                t[1] = s[1];
                t[2] = s[0];
            });
            break;
        case DDS_RGBMODE_32:
            convertRect<3>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                t[0] = s[2];
                t[1] = s[1];
                t[2] = s[0];
                t[3] = 0xFF;
            });
            break;
        default: break;
    }
}

void FillFromRGBA(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect) {
    switch (mode) {
        case DDS_RGBMODE_555:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                if (s[3] == 0) return store16(t, 0);
                const Premultiplied c = premultiply(s);
                store16(t, pack555(c.r, c.g, c.b));
            });
            break;
        case DDS_RGBMODE_565:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                if (s[3] == 0) return store16(t, 0);
                const Premultiplied c = premultiply(s);
                store16(t, pack565(c.r, c.g, c.b));
            });
            break;
        case DDS_RGBMODE_16: {
            // This layout multiplies by alpha itself, without the 0 and 255 shortcuts.
            const ChannelMasks masks = masksOf(locked);
            convertRect<4>(locked, mode, rect, [&masks](const std::uint8_t* s, std::uint8_t* t) {
                const std::uint32_t a = s[3];
                store16(t, packToMasks(masks, (s[0] * a) >> 8, (s[1] * a) >> 8, (s[2] * a) >> 8));
            });
            break;
        }
        case DDS_RGBMODE_24:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                if (s[3] == 0) {
                    t[0] = t[1] = t[2] = 0;
                    return;
                }
                const Premultiplied c = premultiply(s);
                t[0] = static_cast<std::uint8_t>(c.b);
                t[1] = static_cast<std::uint8_t>(c.g);
                t[2] = static_cast<std::uint8_t>(c.r);
            });
            break;
        case DDS_RGBMODE_32:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                if (s[3] == 0) return store32(t, 0);
                const Premultiplied c = premultiply(s);
                t[0] = static_cast<std::uint8_t>(c.b);
                t[1] = static_cast<std::uint8_t>(c.g);
                t[2] = static_cast<std::uint8_t>(c.r);
                t[3] = s[3];
            });
            break;
        default: break;
    }
}

void FillFromBGRA(const DDSURFACEDESC2& locked, RGBMode mode, const UploadRect& rect) {
    // Black is nudged off 0, the transparent value, to the nearest visible colour.
    switch (mode) {
        case DDS_RGBMODE_555:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                const std::uint32_t pixel = pack555(s[2], s[1], s[0]);
                store16(t, pixel == 0 ? 0x0001 : pixel);
            });
            break;
        case DDS_RGBMODE_565:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                const std::uint32_t pixel = pack565(s[2], s[1], s[0]);
                store16(t, pixel == 0 ? 0x0001 : pixel);
            });
            break;
        case DDS_RGBMODE_16: {
            const ChannelMasks masks = masksOf(locked);
            convertRect<4>(locked, mode, rect, [&masks](const std::uint8_t* s, std::uint8_t* t) {
                const std::uint32_t pixel = packToMasks(masks, s[2], s[1], s[0]);
                store16(t, pixel == 0 ? 0x0001 : pixel);
            });
            break;
        }
        case DDS_RGBMODE_24:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                const bool nearBlack = s[0] < 8 && s[1] < 8 && s[2] < 8;
                t[0] = nearBlack ? 8 : s[0];
                t[1] = nearBlack ? 8 : s[1];
                t[2] = nearBlack ? 8 : s[2];
            });
            break;
        case DDS_RGBMODE_32:
            convertRect<4>(locked, mode, rect, [](const std::uint8_t* s, std::uint8_t* t) {
                const std::uint32_t pixel = load32(s);
                store32(t, pixel == 0 ? 0xFF080808u : pixel);
            });
            break;
        default: break;
    }
}

}  // namespace ZelUISystem
