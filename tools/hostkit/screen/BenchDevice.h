#pragma once
// The renderer device both frame benchmarks hand to the renderer.

#include <cstdint>

#include "interface/RendererDevice.h"

struct IDirectDraw7;

namespace framebench {

// The host side of the renderer: its DirectDraw, the screen size, the blend mode, surfaces in
// the display's own layout, in system memory unless told otherwise (querySurfaceMemory: 0
// system memory, 1 video memory, 2 DirectDraw chooses).
class BenchDevice final : public ZelUISystem::RendererDevice {
public:
    BenchDevice(IDirectDraw7* directDraw, std::uint32_t width, std::uint32_t height, int blendMode,
                int surfaceMemory = 0)
        : directDraw_(directDraw), width_(width), height_(height), blendMode_(blendMode),
          surfaceMemory_(surfaceMemory) {}
    ~BenchDevice() = default;

    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = static_cast<float>(width_);
        *height = static_cast<float>(height_);
    }
    int queryBlendMode() override { return blendMode_; }
    int querySurfaceMemory() override { return surfaceMemory_; }
    int queryTexturePixelFormat() override { return 0; }

private:
    IDirectDraw7* directDraw_;
    std::uint32_t width_;
    std::uint32_t height_;
    int blendMode_;
    int surfaceMemory_;
};

}  // namespace framebench
