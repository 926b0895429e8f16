#include "TestSurface.h"

#include <cstring>

namespace dd7r_test {

TestSurface::TestSurface(const SurfaceLayout& layout, std::mt19937& random) : layout_(layout) {
    const std::size_t rowBytes = std::size_t(layout.width) * std::size_t(layout.bytesPerPixel);
    const std::size_t size = std::size_t(layout.height - 1) * stride() +
                             std::size_t(layout.leftGuard) + rowBytes + std::size_t(layout.tailGuard);
    bytes_.resize(size);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : bytes_) b = static_cast<std::uint8_t>(byte(random));
}

std::size_t TestSurface::stride() const {
    return std::size_t(layout_.leftGuard) + std::size_t(layout_.width) * layout_.bytesPerPixel +
           std::size_t(layout_.rowPadding);
}

std::int32_t TestSurface::pitch() const {
    const auto s = static_cast<std::int32_t>(stride());
    return layout_.bottomUp ? -s : s;
}

std::size_t TestSurface::offsetOf(int x, int y) const {
    const int memoryRow = layout_.bottomUp ? layout_.height - 1 - y : y;
    return std::size_t(memoryRow) * stride() + std::size_t(layout_.leftGuard) +
           std::size_t(x) * std::size_t(layout_.bytesPerPixel);
}

std::uint32_t TestSurface::pixel(int x, int y) const {
    std::uint32_t value = 0;
    const std::uint8_t* p = bytes_.data() + offsetOf(x, y);
    for (int i = 0; i < layout_.bytesPerPixel; ++i) value |= std::uint32_t{p[i]} << (8 * i);
    return value;
}

void TestSurface::setPixel(int x, int y, std::uint32_t value) {
    std::uint8_t* p = bytes_.data() + offsetOf(x, y);
    for (int i = 0; i < layout_.bytesPerPixel; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

DDSURFACEDESC2 TestSurface::describe(std::uint32_t redMask, std::uint32_t greenMask,
                                     std::uint32_t blueMask) {
    return describePixels(layout_, firstPixel(), pitch(), redMask, greenMask, blueMask);
}

DDSURFACEDESC2 describePixels(const SurfaceLayout& layout, void* firstPixel, std::int32_t pitch,
                              std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwWidth = static_cast<DWORD>(layout.width);
    desc.dwHeight = static_cast<DWORD>(layout.height);
    desc.lPitch = pitch;
    desc.lpSurface = firstPixel;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(8 * layout.bytesPerPixel);
    desc.ddpfPixelFormat.dwRBitMask = redMask;
    desc.ddpfPixelFormat.dwGBitMask = greenMask;
    desc.ddpfPixelFormat.dwBBitMask = blueMask;
    return desc;
}

}  // namespace dd7r_test
