#pragma once
// A 32-bit screen on the software DirectDraw: the DirectDraw object, a target surface of the
// screen's size, its clear, its read-back, and the DirectDraw calls made on it.

#include <cstddef>
#include <cstdint>

#include <vector>

#include "screen/FramePixels.h"
#include "screen/FrameTraffic.h"
#include "platform/DirectDraw.h"

namespace softddraw {
class SoftDirectDraw;
}

namespace framebench {

class SoftScreen {
public:
    SoftScreen(std::uint32_t width, std::uint32_t height);  // throws std::runtime_error
    ~SoftScreen();
    SoftScreen(const SoftScreen&) = delete;
    SoftScreen& operator=(const SoftScreen&) = delete;

    IDirectDraw7* directDraw() const;
    IDirectDrawSurface7* target() const { return target_; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    // An off-screen system-memory surface in the screen's layout; with a source key {0, 0}
    // when keyed. Throws std::runtime_error.
    IDirectDrawSurface7* createSurface(std::uint32_t width, std::uint32_t height, bool keyed) const;
    void fill(IDirectDrawSurface7* surface, std::uint32_t colour) const;
    void clearTarget(std::uint32_t colour) const { fill(target_, colour); }

    // The calls logged since the last call, forgotten so the log never grows.
    std::size_t takeCallCount();
    // The fills, copies and locks logged since the last call, the log then forgotten.
    std::vector<PixelCall> takePixelCalls();
    FramePixels readTarget() const;

private:
    std::uint32_t width_;
    std::uint32_t height_;
    softddraw::SoftDirectDraw* directDraw_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
};

}  // namespace framebench
