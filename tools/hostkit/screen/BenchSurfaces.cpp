#include "screen/BenchSurfaces.h"

#include <cstring>
#include <random>

namespace dd7r_bench {

namespace {

DDSURFACEDESC2 describe(std::uint8_t* pixels, int width, int height, int pitch, int bytesPerPixel) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.lPitch = pitch;
    desc.lpSurface = pixels;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(8 * bytesPerPixel);
    // The "other masks" mode is timed with 4-4-4 masks.
    desc.ddpfPixelFormat.dwRBitMask = 0x0F00;
    desc.ddpfPixelFormat.dwGBitMask = 0x00F0;
    desc.ddpfPixelFormat.dwBBitMask = 0x000F;
    return desc;
}

}  // namespace

BenchSurfaces::BenchSurfaces(std::uint32_t mode, int width, int height, int transparentPercent)
    : bytesPerPixel_(mode <= 2 ? 2 : mode == 3 ? 3 : 4),
      pitch_(width * bytesPerPixel_),
      source_(std::size_t(pitch_) * std::size_t(height)),
      destination_(source_.size()),
      rect_{0, 0, width, height} {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> percent(0, 99);
    for (auto& b : source_) b = static_cast<std::uint8_t>(byte(random));
    for (auto& b : destination_) b = static_cast<std::uint8_t>(byte(random));
    for (std::size_t offset = 0; offset < source_.size(); offset += std::size_t(bytesPerPixel_))
        if (percent(random) < transparentPercent)
            std::memset(&source_[offset], 0, std::size_t(bytesPerPixel_ == 4 ? 3 : bytesPerPixel_));
    sourceDesc_ = describe(source_.data(), width, height, pitch_, bytesPerPixel_);
    destinationDesc_ = describe(destination_.data(), width, height, pitch_, bytesPerPixel_);
}

}  // namespace dd7r_bench
