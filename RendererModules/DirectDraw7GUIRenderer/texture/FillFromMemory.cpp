// Writes a rectangle of caller-supplied pixels into the texture's surface.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "diagnostics/SlotPrologue.h"
#include "platform/SurfaceLock.h"
#include "texture/CDD7Texture.h"
#include "texture/PixelUpload.h"

namespace ZelUISystem {

namespace {

const char* const kLockFailed =
    "CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling.";
const char* const kUnsupportedFormat =
    "CDD7Texture::loadFromMemory  -- Unsupported pixel format of the texture.";
const char* const kOutsideSurface =
    "CDD7Texture::fillFromMemory -- The rectangle reaches outside the texture surface.";
const char* const kNullPixels = "CDD7Texture::fillFromMemory -- Pixel data pointer is NULL.";
const char* const kSourceTooLarge =
    "CDD7Texture::fillFromMemory -- Source rows reach beyond the address space.";

bool isSourceFormat(TextureFormat format) {
    return format == TEXFMT_RGB || format == TEXFMT_RGBA || format == TEXFMT_BGRA;
}

std::uint64_t sourcePixelBytes(TextureFormat format) { return format == TEXFMT_RGB ? 3 : 4; }

bool fitsInside(std::uint32_t offset, std::uint32_t extent, std::uint32_t limit) {
    return static_cast<std::uint64_t>(offset) + extent <= limit;
}

// The last byte the conversion reads must be addressable from the buffer's start.
bool sourceSpanAddressable(const UploadRect& rect, TextureFormat format) {
    const std::uint64_t span = static_cast<std::uint64_t>(rect.height - 1) * rect.pitch +
                               static_cast<std::uint64_t>(rect.width) * sourcePixelBytes(format);
    return span <= std::numeric_limits<std::ptrdiff_t>::max();
}

// Everything a host passes is checked against the locked surface before a pixel is written.
void checkUploadRect(const DDSURFACEDESC2& locked, const UploadRect& rect, TextureFormat format) {
    if (!fitsInside(rect.x, rect.width, locked.dwWidth) ||
        !fitsInside(rect.y, rect.height, locked.dwHeight))
        throw std::runtime_error(kOutsideSurface);
    if (rect.pixels == nullptr) throw std::runtime_error(kNullPixels);
    if (!sourceSpanAddressable(rect, format)) throw std::runtime_error(kSourceTooLarge);
}

}  // namespace

void CDD7Texture::fillFromMemory(const void* pixels, std::uint32_t x, std::uint32_t y,
                                 std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                                 TextureFormat format) {
    DD7R_SLOT(fillFromMemory, pixels, x, y, width, height, pitch, format);
    const SurfaceLock lock(surface_, nullptr, LockRequest::WithPixelFormat);
    if (!lock.locked()) throw std::runtime_error(kLockFailed);
    if (!isSourceFormat(format)) return;

    const DDSURFACEDESC2& locked = lock.desc();
    const RGBMode mode = GetRGBMode(locked);
    rgbMode_ = mode;
    if (!isDrawableMode(mode)) throw std::runtime_error(kUnsupportedFormat);
    if (width == 0 || height == 0) return;
    const UploadRect rect{static_cast<const std::uint8_t*>(pixels), x, y, width, height, pitch};
    checkUploadRect(locked, rect, format);
    if (format == TEXFMT_RGB) FillFromRGB(locked, mode, rect);
    if (format == TEXFMT_RGBA) FillFromRGBA(locked, mode, rect);
    if (format == TEXFMT_BGRA) FillFromBGRA(locked, mode, rect);
}

}  // namespace ZelUISystem
