#pragma once
// The host's renderer device, passed to createRenderer. Slot order is part of the interface:
// six slots, no destroy slot (the module never destroys the device). On 32-bit Windows every
// slot is thiscall.

#include <type_traits>

struct IDirectDraw7;

namespace ZelUISystem {

class RendererDevice {
public:
    virtual IDirectDraw7* queryDirectDraw() = 0;
    virtual void reservedDeviceSlot() = 0;  // never called by the module
    virtual void queryDisplaySize(float* width, float* height) = 0;
    virtual int queryBlendMode() = 0;
    virtual int querySurfaceMemory() = 0;
    virtual int queryTexturePixelFormat() = 0;

protected:
    ~RendererDevice() = default;
};
static_assert(!std::has_virtual_destructor_v<RendererDevice>, "RendererDevice has six slots only");

}  // namespace ZelUISystem
