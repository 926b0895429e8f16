#pragma once
// A host's renderer device whose every answer the host sets, field by field: the module's
// tests, the fuzz host, the soak and the reliability suites drive the renderer with it. It
// counts the calls a test asks about and can throw a non-standard exception on demand.

#include "platform/DirectDraw.h"
#include "interface/RendererDevice.h"

namespace dd7rdemo {

class SettableDevice final : public ZelUISystem::RendererDevice {
public:
    IDirectDraw7* directDraw = nullptr;
    float width = 640.0f;
    float height = 480.0f;
    int blendMode = 0;
    int surfaceMemory = 0;      // system memory
    int texturePixelFormat = 0; // the display's format
    bool throwNonStandard = false;

    int directDrawQueries = 0;
    int reservedSlotCalls = 0;

    IDirectDraw7* queryDirectDraw() override {
        ++directDrawQueries;
        if (throwNonStandard) throw 42;
        return directDraw;
    }
    void reservedDeviceSlot() override { ++reservedSlotCalls; }
    void queryDisplaySize(float* w, float* h) override {
        *w = width;
        *h = height;
    }
    int queryBlendMode() override { return blendMode; }
    int querySurfaceMemory() override { return surfaceMemory; }
    int queryTexturePixelFormat() override { return texturePixelFormat; }
};

}  // namespace dd7rdemo
