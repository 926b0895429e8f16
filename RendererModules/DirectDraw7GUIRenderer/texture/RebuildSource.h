#pragma once
// What a texture's picture is made again from after a device reset: one value, set by every
// loading call and read by the reset notifications and by drawing (which rebuilds a texture it
// finds without a surface). The bytes of a kept copy stay in the texture's kept data and the
// file's name in its fileName and directory, where the host can see them; this value says what
// they are, so file bytes are never read as pixels nor pixels decoded as a file.

#include <cstdint>
#include <variant>

#include "interface/Texture.h"

namespace ZelUISystem {
namespace rebuild {

// Nothing kept: the surface is kept over a reset and only restored (its contents are lost).
struct InPlace {};

// The file named by fileName and directory, read and decoded again.
struct FromFile {};

// The image-file bytes held as kept data, decoded again.
struct FromFileBytes {};

// Raw pixels held as kept data, uploaded again as they were given.
struct FromPixels {
    TextureFormat format;
    std::uint32_t width;
    std::uint32_t height;
};

// Bytes a pixel copy of this size and format holds: exactly what the caller's buffer held.
inline std::uint64_t pixelCopyBytes(TextureFormat format, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t bytesPerPixel = format == TEXFMT_RGBA || format == TEXFMT_BGRA ? 4 : 3;
    return std::uint64_t{width} * height * bytesPerPixel;
}

}  // namespace rebuild

using RebuildSource =
    std::variant<rebuild::InPlace, rebuild::FromFile, rebuild::FromFileBytes, rebuild::FromPixels>;

}  // namespace ZelUISystem
