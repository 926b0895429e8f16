#pragma once
// A locked-surface stand-in for kernel tests: one rectangle of pixels inside a byte buffer
// full of random guard bytes (left of each row, padding after each row, optional bytes after
// the last row). With no bytes after the last row, the rectangle's last byte is the last
// byte of the allocation, so AddressSanitizer reports any read or write beyond it.

#include <cstdint>
#include <random>
#include <vector>

#include "platform/DirectDraw.h"

namespace dd7r_test {

struct SurfaceLayout {
    int width = 1;
    int height = 1;
    int bytesPerPixel = 2;
    int leftGuard = 0;   // bytes before each row's first pixel
    int rowPadding = 0;  // bytes after each row's last pixel, before the next row
    int tailGuard = 0;   // bytes after the row highest in memory
    bool bottomUp = false;  // negative pitch: row 0 is highest in memory
};

// A description as Lock fills it for pixels of that layout at `firstPixel`, rows `pitch` bytes
// apart: first pixel, pitch, size and (16-bit) masks.
DDSURFACEDESC2 describePixels(const SurfaceLayout& layout, void* firstPixel, std::int32_t pitch,
                              std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask);

class TestSurface {
public:
    TestSurface(const SurfaceLayout& layout, std::mt19937& random);

    const SurfaceLayout& layout() const { return layout_; }
    std::int32_t pitch() const;
    std::uint8_t* firstPixel() { return bytes_.data() + offsetOf(0, 0); }
    std::uint8_t* pixelAddress(int x, int y) { return bytes_.data() + offsetOf(x, y); }

    // Pixel value at column x of row y in kernel order, little-endian over its bytes.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t value);

    std::size_t offsetOf(int x, int y) const;
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // A description as Lock fills it: first pixel, pitch, size and (16-bit) masks.
    DDSURFACEDESC2 describe(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask);

private:
    std::size_t stride() const;

    SurfaceLayout layout_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace dd7r_test
