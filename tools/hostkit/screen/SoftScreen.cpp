#include "screen/SoftScreen.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "screen/SoftCallTraffic.h"
#include "softddraw/PixelFormats.h"
#include "softddraw/SoftDirectDraw.h"

namespace framebench {

SoftScreen::SoftScreen(std::uint32_t width, std::uint32_t height)
    : width_(width), height_(height) {
    // Like Wine: no video memory, so every surface lives in system memory.
    directDraw_ = softddraw::SoftDirectDraw::create(softddraw::xrgb32Format(),
                                                    softddraw::VideoMemory::Absent);
    try {
        target_ = createSurface(width, height, false);
    } catch (...) {
        directDraw_->Release();
        throw;
    }
}

SoftScreen::~SoftScreen() {
    target_->Release();
    directDraw_->Release();
}

IDirectDraw7* SoftScreen::directDraw() const { return directDraw_; }

IDirectDrawSurface7* SoftScreen::createSurface(std::uint32_t width, std::uint32_t height,
                                               bool keyed) const {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (keyed) {
        desc.dwFlags |= DDSD_CKSRCBLT;
        desc.ddckCKSrcBlt = DDCOLORKEY{0, 0};
    }
    IDirectDrawSurface7* surface = nullptr;
    const HRESULT result = directDraw_->CreateSurface(&desc, &surface, nullptr);
    if (FAILED(result) || surface == nullptr)
        throw std::runtime_error("CreateSurface " + std::to_string(width) + "x" +
                                 std::to_string(height) + " failed");
    return surface;
}

void SoftScreen::fill(IDirectDrawSurface7* surface, std::uint32_t colour) const {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

std::size_t SoftScreen::takeCallCount() {
    const std::size_t count = directDraw_->callLog().size();
    directDraw_->clearCallLog();
    return count;
}

// A copy of the log: resolving a null rectangle asks the surface, which logs again.
std::vector<PixelCall> SoftScreen::takePixelCalls() {
    const std::vector<softddraw::CallRecord> log = directDraw_->callLog();
    std::vector<PixelCall> calls = pixelCallsOf(log);
    directDraw_->clearCallLog();
    return calls;
}

FramePixels SoftScreen::readTarget() const {
    FramePixels frame;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (FAILED(target_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return frame;
    frame.width = width_;
    frame.height = height_;
    frame.xrgb.resize(std::size_t{width_} * height_);
    const auto* row = static_cast<const std::uint8_t*>(desc.lpSurface);
    for (std::uint32_t y = 0; y < height_; ++y, row += desc.lPitch) {
        std::uint32_t* out = frame.xrgb.data() + std::size_t{y} * width_;
        std::memcpy(out, row, std::size_t{width_} * 4);
        for (std::uint32_t x = 0; x < width_; ++x) out[x] &= 0x00FFFFFFu;
    }
    target_->Unlock(nullptr);
    return frame;
}

}  // namespace framebench
