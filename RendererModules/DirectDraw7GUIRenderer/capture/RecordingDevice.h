#pragma once
// The renderer device a captured renderer is built with: it asks the host's own device and
// passes every answer on unchanged, writing it into the capture as it goes. With a DirectDraw
// object it also records the display mode that object reports, which decides the layout of
// textures whose device leaves the layout to the display.

#include "capture/CaptureFormat.h"
#include "interface/RendererDevice.h"
#include "platform/HostExceptions.h"

namespace ZelUISystem {
namespace capture {

class CaptureSession;

class RecordingDevice final : public RendererDevice {
public:
    RecordingDevice(RendererDevice* host, CaptureSession& session) : host_(host), session_(session) {}
    ~RecordingDevice() = default;

    IDirectDraw7* queryDirectDraw() override;
    void reservedDeviceSlot() override { callHost([&] { host_->reservedDeviceSlot(); }); }
    void queryDisplaySize(float* width, float* height) override;
    int queryBlendMode() override;
    int querySurfaceMemory() override;
    int queryTexturePixelFormat() override;

private:
    void recordInt(DeviceQuery query, int answer);
    template <typename Ask>
    decltype(auto) askHost(DeviceQuery query, Ask&& ask);

    RendererDevice* host_;
    CaptureSession& session_;
};

}  // namespace capture
}  // namespace ZelUISystem
