#include "capture/RecordingDevice.h"

#include <exception>
#include <string>

#include "capture/CaptureSession.h"
#include "capture/PixelFormatRecord.h"
#include "platform/DirectDraw.h"
#include "platform/HostExceptions.h"

namespace ZelUISystem {
namespace capture {

namespace {

// What a question that threw is recorded as: which question, and what came back instead.
void recordThrow(CaptureSession& session, DeviceQuery query, bool standard, const char* text) {
    if (!session.active()) return;
    try {
        std::string kept = text != nullptr ? text : "";
        if (kept.size() > kLongestExceptionText) kept.resize(kLongestExceptionText);
        RecordBuilder threw(RecordKind::DeviceThrew);
        threw.u8(static_cast<std::uint8_t>(query)).flag(standard).string(kept.c_str());
        session.writeDeviceAnswer(threw);
    } catch (...) {
        session.disable("out of memory while capturing");
    }
}

}  // namespace

// Runs a question to the host's device (through callHost); when it throws, the capture notes it
// (a replay throws the same there) and the exception goes on to the module unchanged.
template <typename Ask>
decltype(auto) RecordingDevice::askHost(DeviceQuery query, Ask&& ask) {
    try {
        return ask();
    } catch (const std::exception& error) {
        recordThrow(session_, query, true, error.what());
        throw;
    } catch (...) {
        recordThrow(session_, query, false, nullptr);
        throw;
    }
}

IDirectDraw7* RecordingDevice::queryDirectDraw() {
    IDirectDraw7* directDraw = askHost(DeviceQuery::DirectDraw, [&] {
        return callHost([&] { return host_->queryDirectDraw(); });
    });
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
    askHost(DeviceQuery::DisplaySize, [&] { callHost([&] { host_->queryDisplaySize(width, height); }); });
    if (!session_.active()) return;
    RecordBuilder answer(RecordKind::DeviceAnswer);
    answer.u8(static_cast<std::uint8_t>(DeviceQuery::DisplaySize));
    answer.f32(width != nullptr ? *width : 0.0f).f32(height != nullptr ? *height : 0.0f);
    session_.writeDeviceAnswer(answer);
}

void RecordingDevice::recordInt(DeviceQuery query, int value) {
    if (!session_.active()) return;
    RecordBuilder answer(RecordKind::DeviceAnswer);
    answer.u8(static_cast<std::uint8_t>(query)).i32(value);
    session_.writeDeviceAnswer(answer);
}

int RecordingDevice::queryBlendMode() {
    const int answer = askHost(DeviceQuery::BlendMode, [&] {
        return callHost([&] { return host_->queryBlendMode(); });
    });
    recordInt(DeviceQuery::BlendMode, answer);
    return answer;
}

int RecordingDevice::querySurfaceMemory() {
    const int answer = askHost(DeviceQuery::SurfaceMemory, [&] {
        return callHost([&] { return host_->querySurfaceMemory(); });
    });
    recordInt(DeviceQuery::SurfaceMemory, answer);
    return answer;
}

int RecordingDevice::queryTexturePixelFormat() {
    const int answer = askHost(DeviceQuery::TexturePixelFormat, [&] {
        return callHost([&] { return host_->queryTexturePixelFormat(); });
    });
    recordInt(DeviceQuery::TexturePixelFormat, answer);
    return answer;
}

}  // namespace capture
}  // namespace ZelUISystem
