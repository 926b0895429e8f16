#pragma once
// Builds an InspectFrame for every frame of a replay: listens to the calls the replay issues and,
// through the module's quad observer, to every quad drawQuad draws; after each pixel-writing
// event it reads the rectangle the event wrote. Frames outside [first, last] are replayed but not
// kept. The module is one whose observer can be set (core/ObservedModule.h).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/RendererModule.h"
#include "report/FrameHistory.h"
#include "interface/ModuleExports.h"
#include "renderer/QuadObserver.h"
#include "replay/Replayer.h"

namespace dd7rreplay {

// Where the inspector keeps what it saw of a texture.
struct TextureNote {
    std::uint32_t id = 0;
    std::string origin;   // how the host filled it
    unsigned version = 0;  // counts the calls that changed its picture
    std::uint32_t renderer = 0;  // whose texture it is
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

class Inspector final : public ReplayListener, public ZelUISystem::QuadObserver {
public:
    using FrameSink = std::function<void(InspectFrame&, const ReplayFrame&)>;
    // Asked for the picture of a texture (its capture id and version) the first time a quad
    // draws it; returns the report's file name for it, or "".
    using TextureSink = std::function<std::string(const TextureNote&, IDirectDrawSurface7*)>;

    Inspector(const Replayer& replayer, unsigned first, unsigned last, FrameSink frames, TextureSink textures);
    ~Inspector();
    Inspector(const Inspector&) = delete;
    Inspector& operator=(const Inspector&) = delete;

    // Points the loaded module's observer at this inspector; false (with `error`) when the module
    // has none.
    bool attach(const dd7rdemo::RendererModule& module, std::string& error);
    void frameDrawn(const ReplayFrame& frame);

    void callStarting(const CaptureCall& call) override;
    void callFinished(const CaptureCall& call, bool threw, const std::string& text,
                      const CaptureCall* captured) override;
    void quadDrawn(const ZelUISystem::QuadObservation& observation) noexcept override;
    void diverged(const ReplayDivergence& divergence) override;

private:
    bool keeping() const { return frameIndex_ >= first_ && frameIndex_ <= last_; }
    void takeBase();
    bool readRect(IDirectDrawSurface7* surface, int left, int top, int right, int bottom,
                  std::vector<std::uint8_t>& into, PixelLayout& layout, int& width, int& height);
    void addCallEvent(const CaptureCall& call, bool threw, const std::string& text, const CaptureCall* captured);
    void addQuadEvent(const ZelUISystem::QuadObservation& observation);
    void noteQuadTexture(InspectEvent& event, const ZelUISystem::QuadObservation& quad, std::uint32_t textureId);
    void takeQuadPixels(InspectEvent& event, const ZelUISystem::QuadObservation& quad, bool onTarget);
    void noteTextureCall(const CaptureCall& call, bool threw);
    std::uint32_t textureIdOf(const void* texture) const;
    int submissionOf(const ZelUISystem::QuadObservation& quad, std::uint32_t textureId);
    std::shared_ptr<const TexturePixels> pixelsOf(std::uint32_t id, IDirectDrawSurface7* surface);
    void keepOwnRenderersEvents(std::uint32_t renderer);
    void noteLiveTextures();

    // A quad the host submitted in the current pass, not yet drawn.
    struct Submission {
        int number = 0;
        std::uint32_t texture = 0;
        float destination[4] = {};
        float source[4] = {};
        float z = 0.0f;
        std::uint32_t colours[4] = {};
    };

    const Replayer& replayer_;
    unsigned first_;
    unsigned last_;
    FrameSink frames_;
    TextureSink textures_;
    ZelUISystem::QuadObserver** observerSlot_ = nullptr;
    GetLastErrorStringFn lastError_ = nullptr;
    std::string divergence_;  // how the call now finishing differed from the capture, if it did

    unsigned frameIndex_ = 0;
    InspectFrame frame_;
    bool baseTaken_ = false;
    bool wrote_ = false;           // an event of this frame wrote the target
    std::vector<std::uint8_t> state_;  // the target as the events so far left it
    std::uint32_t currentRenderer_ = 0;
    unsigned quadNumber_ = 0;
    std::map<std::uint32_t, TextureNote> textureNotes_;
    std::map<const void*, std::uint32_t> textureIds_;
    std::map<std::pair<std::uint32_t, unsigned>, std::string> textureImages_;
    std::map<std::uint32_t, std::shared_ptr<const TexturePixels>> texturePixels_;  // the latest version read
    std::vector<Submission> submissions_;
    int submitted_ = 0;
    std::chrono::steady_clock::time_point mark_;  // when the module last got on with drawing
};

}  // namespace dd7rreplay
