#pragma once
// The device answers recorded during one call, handed out in the order the module asks for
// them. A question asked more often than it was answered gets the last answer again, so that a
// replay on another module version still has something sensible to say.

#include <cstdint>
#include <deque>

#include "reader/CaptureCall.h"
#include "interface/RendererDevice.h"

struct IDirectDraw7;

namespace dd7rreplay {

class AnswerBook {
public:
    void clearPending();
    void add(const CaptureCall& answer);
    // The display mode recorded among the pending answers, if any.
    const PixelFormatFields* pendingDisplayMode() const { return hasDisplayMode_ ? &displayMode_ : nullptr; }

    bool directDrawPresent();
    void displaySize(float& width, float& height);
    int blendMode() { return next(blendModes_, lastBlendMode_); }
    int surfaceMemory() { return next(surfaceMemories_, lastSurfaceMemory_); }
    int texturePixelFormat() { return next(pixelFormats_, lastPixelFormat_); }

private:
    static int next(std::deque<int>& queue, int& last);

    std::deque<bool> directDraws_;
    std::deque<std::pair<float, float>> sizes_;
    std::deque<int> blendModes_;
    std::deque<int> surfaceMemories_;
    std::deque<int> pixelFormats_;
    bool hasDisplayMode_ = false;
    PixelFormatFields displayMode_;
    bool lastDirectDraw_ = true;
    std::pair<float, float> lastSize_{640.0f, 480.0f};
    int lastBlendMode_ = 0;
    int lastSurfaceMemory_ = 2;
    int lastPixelFormat_ = 0;
};

// A renderer device that answers from the book, with the replay's own DirectDraw object.
class ReplayDevice final : public ZelUISystem::RendererDevice {
public:
    ReplayDevice(AnswerBook& book, IDirectDraw7* directDraw) : book_(book), directDraw_(directDraw) {}
    virtual ~ReplayDevice() = default;

    IDirectDraw7* queryDirectDraw() override { return book_.directDrawPresent() ? directDraw_ : nullptr; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override;
    int queryBlendMode() override { return book_.blendMode(); }
    int querySurfaceMemory() override { return book_.surfaceMemory(); }
    int queryTexturePixelFormat() override { return book_.texturePixelFormat(); }

private:
    AnswerBook& book_;
    IDirectDraw7* directDraw_;
};

}  // namespace dd7rreplay
