#include "capture/SurfaceAnswers.h"

#include "capture/CaptureSession.h"
#include "capture/HostLevel.h"
#include "capture/PixelFormatRecord.h"

namespace ZelUISystem {
namespace capture {

namespace {

// The layout DirectDraw gave the surface; all zeros when it made none or will not describe it.
DDPIXELFORMAT layoutMade(IDirectDrawSurface7* made) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (made == nullptr || FAILED(made->GetSurfaceDesc(&desc))) return DDPIXELFORMAT{};
    return desc.ddpfPixelFormat;
}

}  // namespace

void noteSurfaceAnswer(const DDSURFACEDESC2& asked, HRESULT result, IDirectDrawSurface7* made) noexcept {
    CaptureSession* session = hostCallSession;
    if (session == nullptr || !session->active()) return;
    try {
        RecordBuilder answer(RecordKind::SurfaceAnswer);
        answer.u32(asked.dwFlags).u32(asked.dwWidth).u32(asked.dwHeight).u32(asked.ddsCaps.dwCaps);
        writePixelFormat(answer, (asked.dwFlags & DDSD_PIXELFORMAT) != 0 ? asked.ddpfPixelFormat : DDPIXELFORMAT{});
        answer.u32(static_cast<std::uint32_t>(result));
        writePixelFormat(answer, layoutMade(SUCCEEDED(result) ? made : nullptr));
        session->writeDeviceAnswer(answer);
    } catch (...) {
        session->disable("out of memory while capturing");
    }
}

}  // namespace capture
}  // namespace ZelUISystem
