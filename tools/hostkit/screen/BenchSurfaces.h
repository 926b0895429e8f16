#pragma once
// Source and destination pixels for timing the kernels: random colours with about 10 % of
// the source pixels transparent (colour key 0), as a typical translucent user interface has.

#include <cstdint>
#include <vector>

#include "platform/DirectDraw.h"

namespace dd7r_bench {

struct BenchSize {
    int width;
    int height;
    const char* name;
};

// L1-sized, L2-sized and two full displays.
inline constexpr BenchSize kBenchSizes[] = {
    {64, 64, "64x64"}, {256, 256, "256x256"}, {1024, 768, "1024x768"}, {1920, 1080, "1920x1080"}};

inline constexpr const char* kModeNames[] = {"555", "565", "16", "24", "32"};

class BenchSurfaces {
public:
    BenchSurfaces(std::uint32_t mode, int width, int height, int transparentPercent = 10);

    const DDSURFACEDESC2* source() const { return &sourceDesc_; }
    const DDSURFACEDESC2* destination() const { return &destinationDesc_; }
    const RECT* rect() const { return &rect_; }
    std::uint8_t* sourceBytes() { return source_.data(); }
    std::uint8_t* destinationBytes() { return destination_.data(); }
    int pitch() const { return pitch_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    std::size_t byteCount() const { return destination_.size(); }

private:
    int bytesPerPixel_;
    int pitch_;
    std::vector<std::uint8_t> source_;
    std::vector<std::uint8_t> destination_;
    DDSURFACEDESC2 sourceDesc_;
    DDSURFACEDESC2 destinationDesc_;
    RECT rect_;
};

// Read source, read destination, write destination: the memory traffic of any blend, with
// no arithmetic, as the ceiling a kernel can approach. 16 bytes at a time with SSE2 in both
// builds, so the i686 figure is not held back by 32-bit integer moves.
void memoryPass(const std::uint8_t* source, std::uint8_t* destination, std::size_t bytes);

}  // namespace dd7r_bench
