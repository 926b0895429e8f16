#pragma once
// The device answers recorded during one call, handed out in the order the module asks for
// them. A question asked more often than it was answered gets the last answer again, so that a
// replay on another module version still has something sensible to say. A question that threw
// when captured throws the same when the module asks it again at that turn.

#include <cstdint>
#include <array>
#include <deque>
#include <optional>
#include <string>

#include "reader/CaptureCall.h"
#include "interface/RendererDevice.h"

struct IDirectDraw7;

namespace dd7rreplay {

// What a captured device threw that was no standard exception; the module sees it as such.
struct ReplayedForeignThrow {};

class AnswerBook {
public:
    void clearPending();
    // A DeviceAnswer or DeviceThrew record.
    void add(const CaptureCall& answer);
    // The display mode recorded among the pending answers, if any.
    const PixelFormatFields* pendingDisplayMode() const { return hasDisplayMode_ ? &displayMode_ : nullptr; }

    bool directDrawPresent();
    void displaySize(float& width, float& height);
    int blendMode();
    int surfaceMemory();
    int texturePixelFormat();

private:
    struct Thrown {
        bool standard = false;
        std::string text;
    };
    static int next(std::deque<int>& queue, int& last);
    // Throws what the question threw at this turn when captured, else lets the answer be given.
    void throwIfCaptured(DeviceQuery query);

    // Per question, in the order they happened: an answer (empty) or what was thrown instead.
    std::array<std::deque<std::optional<Thrown>>, 6> turns_;

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
