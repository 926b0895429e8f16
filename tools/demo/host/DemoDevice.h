#pragma once
// The demo's RendererDevice: what a host tells the renderer about its display. It hands out the
// host's DirectDraw object, the display size, the blend mode, lets DirectDraw choose the
// surface memory (so that a display reset can lose the surfaces), and names the 16-bit layout
// for 16-bit displays so that every texture matches the target surface.

#include "options/DemoOptions.h"
#include "interface/RendererDevice.h"

struct IDirectDraw7;

namespace dd7rdemo {

// querySurfaceMemory answers: 0 system memory, 1 video memory, 2 DirectDraw chooses.
constexpr int kSurfaceMemoryDirectDrawChooses = 2;

class DemoDevice final : public ZelUISystem::RendererDevice {
public:
    DemoDevice(IDirectDraw7* directDraw, unsigned width, unsigned height, int blendMode,
               DisplayFormat format);

    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override;
    int queryBlendMode() override { return blendMode_; }
    int querySurfaceMemory() override { return kSurfaceMemoryDirectDrawChooses; }
    int queryTexturePixelFormat() override;

private:
    IDirectDraw7* directDraw_;
    float width_;
    float height_;
    int blendMode_;
    DisplayFormat format_;
};

}  // namespace dd7rdemo
