#include "capture/RecordingDevice.h"

#include "capture/CaptureSession.h"
#include "capture/PixelFormatRecord.h"
#include "platform/DirectDraw.h"
#include "platform/HostExceptions.h"

namespace ZelUISystem {
namespace capture {

IDirectDraw7* RecordingDevice::queryDirectDraw() {
    IDirectDraw7* directDraw = callHost([&] { return host_->queryDirectDraw(); });
    if (!session_.active()) return directDraw;
    RecordBuilder answer(RecordKind::DeviceAnswer);
    answer.u8(static_cast<std::uint8_t>(DeviceQuery::DirectDraw)).flag(directDraw != nullptr);
    session_.writeDeviceAnswer(answer);
    if (directDraw == nullptr) return directDraw;

    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    if (FAILED(directDraw->GetDisplayMode(&mode))) return directDraw;
    RecordBuilder display(RecordKind::DeviceAnswer);
    display.u8(static_cast<std::uint8_t>(DeviceQuery::DisplayMode)).u32(mode.dwWidth).u32(mode.dwHeight);
    writePixelFormat(display, mode.ddpfPixelFormat);
    session_.writeDeviceAnswer(display);
    return directDraw;
}

void RecordingDevice::queryDisplaySize(float* width, float* height) {
    callHost([&] { host_->queryDisplaySize(width, height); });
    if (!session_.active()) return;
    RecordBuilder answer(RecordKind::DeviceAnswer);
    answer.u8(static_cast<std::uint8_t>(DeviceQuery::DisplaySize));
    answer.f32(width != nullptr ? *width : 0.0f).f32(height != nullptr ? *height : 0.0f);
    session_.writeDeviceAnswer(answer);
}

void RecordingDevice::recordInt(unsigned query, int value) {
    if (!session_.active()) return;
    RecordBuilder answer(RecordKind::DeviceAnswer);
    answer.u8(static_cast<std::uint8_t>(query)).i32(value);
    session_.writeDeviceAnswer(answer);
}

int RecordingDevice::queryBlendMode() {
    const int answer = callHost([&] { return host_->queryBlendMode(); });
    recordInt(static_cast<unsigned>(DeviceQuery::BlendMode), answer);
    return answer;
}

int RecordingDevice::querySurfaceMemory() {
    const int answer = callHost([&] { return host_->querySurfaceMemory(); });
    recordInt(static_cast<unsigned>(DeviceQuery::SurfaceMemory), answer);
    return answer;
}

int RecordingDevice::queryTexturePixelFormat() {
    const int answer = callHost([&] { return host_->queryTexturePixelFormat(); });
    recordInt(static_cast<unsigned>(DeviceQuery::TexturePixelFormat), answer);
    return answer;
}

}  // namespace capture
}  // namespace ZelUISystem
