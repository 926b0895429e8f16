#pragma once
// The renderer device both frame benchmarks hand to the renderer.

#include <cstdint>

#include "platform/RendererDevice.h"

struct IDirectDraw7;

namespace framebench {

// The host side of the renderer: its DirectDraw, the screen size, the blend mode,
// system-memory surfaces in the display's own layout.
class BenchDevice final : public ZelUISystem::RendererDevice {
public:
    BenchDevice(IDirectDraw7* directDraw, std::uint32_t width, std::uint32_t height, int blendMode)
        : directDraw_(directDraw), width_(width), height_(height), blendMode_(blendMode) {}
    ~BenchDevice() = default;

    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = static_cast<float>(width_);
        *height = static_cast<float>(height_);
    }
    int queryBlendMode() override { return blendMode_; }
    int querySurfaceMemory() override { return 0; }
    int queryTexturePixelFormat() override { return 0; }

private:
    IDirectDraw7* directDraw_;
    std::uint32_t width_;
    std::uint32_t height_;
    int blendMode_;
};

}  // namespace framebench
