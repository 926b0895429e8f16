#include "SurfaceFormat.h"

namespace softddraw {

namespace {

struct KnownLayout {
    DWORD bitCount, red, green, blue, alpha;
};

// RGB layouts DirectDraw creates off-screen surfaces in. Others with valid masks (BGR 565,
// XBGR 32) are refused with DDERR_INVALIDPIXELFORMAT.
constexpr KnownLayout kKnownLayouts[] = {
    {8, 0xE0, 0x1C, 0x03, 0},                             // R3G3B2
    {16, 0xF800, 0x07E0, 0x001F, 0},                      // R5G6B5
    {16, 0x7C00, 0x03E0, 0x001F, 0},                      // X1R5G5B5
    {16, 0x7C00, 0x03E0, 0x001F, 0x8000},                 // A1R5G5B5
    {16, 0x0F00, 0x00F0, 0x000F, 0},                      // X4R4G4B4
    {16, 0x0F00, 0x00F0, 0x000F, 0xF000},                 // A4R4G4B4
    {24, 0xFF0000, 0x00FF00, 0x0000FF, 0},                // R8G8B8
    {24, 0x0000FF, 0x00FF00, 0xFF0000, 0},                // B8G8R8
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0},                // X8R8G8B8
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000},       // A8R8G8B8
};

bool matches(const KnownLayout& layout, const DDPIXELFORMAT& requested, DWORD alpha) {
    return layout.bitCount == requested.dwRGBBitCount && layout.red == requested.dwRBitMask &&
           layout.green == requested.dwGBitMask && layout.blue == requested.dwBBitMask &&
           layout.alpha == alpha;
}

void describePalettized(const DDPIXELFORMAT& requested, SurfaceFormat& format) {
    format.reported = DDPIXELFORMAT{};
    format.reported.dwSize = sizeof(DDPIXELFORMAT);
    format.reported.dwFlags = requested.dwFlags & (DDPF_RGB | DDPF_PALETTEINDEXED8);
    format.reported.dwRGBBitCount = 8;
    format.bytesPerPixel = 1;
    format.palettized = true;
    format.keyMask = 0xFF;
    format.fillMask = 0xFF;
}

void describeRgb(const KnownLayout& layout, SurfaceFormat& format) {
    format.reported = DDPIXELFORMAT{};
    format.reported.dwSize = sizeof(DDPIXELFORMAT);
    format.reported.dwFlags = DDPF_RGB | (layout.alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    format.reported.dwRGBBitCount = layout.bitCount;
    format.reported.dwRBitMask = layout.red;
    format.reported.dwGBitMask = layout.green;
    format.reported.dwBBitMask = layout.blue;
    format.reported.dwRGBAlphaBitMask = layout.alpha;
    format.bytesPerPixel = layout.bitCount / 8;
    format.palettized = false;
    format.red = layout.red;
    format.green = layout.green;
    format.blue = layout.blue;
    format.alpha = layout.alpha;
    format.keyMask = layout.red | layout.green | layout.blue;
    format.fillMask = format.keyMask | layout.alpha;
}

}  // namespace

HRESULT surfaceFormatFor(const DDPIXELFORMAT& requested, SurfaceFormat& format) {
    if ((requested.dwFlags & DDPF_PALETTEINDEXED8) != 0) {
        if (requested.dwRGBBitCount != 8) return DDERR_INVALIDPIXELFORMAT;
        describePalettized(requested, format);
        return DD_OK;
    }
    if ((requested.dwFlags & DDPF_RGB) == 0) return DDERR_INVALIDPIXELFORMAT;
    const DWORD alpha =
        (requested.dwFlags & DDPF_ALPHAPIXELS) != 0 ? requested.dwRGBAlphaBitMask : 0;
    for (const KnownLayout& layout : kKnownLayouts) {
        if (matches(layout, requested, alpha)) {
            describeRgb(layout, format);
            return DD_OK;
        }
    }
    return DDERR_INVALIDPIXELFORMAT;
}

bool sameLayout(const SurfaceFormat& a, const SurfaceFormat& b) {
    return a.bytesPerPixel == b.bytesPerPixel && a.palettized == b.palettized &&
           a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

namespace {

bool isLayout(const SurfaceFormat& format, DWORD bytes, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    return !format.palettized && format.bytesPerPixel == bytes && format.red == red && format.green == green &&
           format.blue == blue && format.alpha == alpha;
}

bool isXrgb32(const SurfaceFormat& f) { return isLayout(f, 4, 0xFF0000, 0x00FF00, 0x0000FF, 0); }
bool isArgb32(const SurfaceFormat& f) { return isLayout(f, 4, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000); }
bool isRgb565(const SurfaceFormat& f) { return isLayout(f, 2, 0xF800, 0x07E0, 0x001F, 0); }

}  // namespace

bool blitConverts(const SurfaceFormat& from, const SurfaceFormat& to) {
    if (sameLayout(from, to)) return true;
    return (isRgb565(from) && isXrgb32(to)) || (isArgb32(from) && isXrgb32(to)) || (isXrgb32(from) && isArgb32(to));
}

std::uint32_t wrappedPitch(std::uint32_t width, std::uint32_t bytesPerPixel) {
    const std::uint32_t rowBytes = width * bytesPerPixel;  // wraps modulo 2^32 on purpose
    return (rowBytes + 7u) & ~7u;
}

std::uint64_t exactPitch(std::uint32_t width, std::uint32_t bytesPerPixel) {
    const std::uint64_t rowBytes = std::uint64_t{width} * bytesPerPixel;
    return (rowBytes + 7u) & ~std::uint64_t{7};
}

}  // namespace softddraw
