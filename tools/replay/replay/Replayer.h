#pragma once
// Re-issues a capture's calls against the renderer module, as the captured host made them: its
// renderers over a device that answers what the host's device answered, target surfaces of the
// recorded size and layout holding the recorded pictures, textures from the recorded bytes.
// Every presented frame (each renderQueue) goes to `onFrame`.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/RendererModule.h"
#include "image/Image.h"
#include "platform/DirectDraw.h"
#include "reader/CaptureFile.h"
#include "replay/AnswerBook.h"
#include "replay/Displays.h"

namespace ZelUISystem {
class Renderer;
class Texture;
}  // namespace ZelUISystem

namespace dd7rreplay {

struct ReplayFrame {
    unsigned index = 0;
    std::uint32_t renderer = 0;
    unsigned quads = 0;             // submitted since the previous frame
    unsigned texturesCreated = 0;   // since the previous frame
    unsigned texturesReleased = 0;
    unsigned resets = 0;
    double milliseconds = 0.0;      // of the renderQueue call
    bool hasImage = false;
    dd7rdemo::Image image;          // the target after the call
};

// One place where the replay behaved, or its DirectDraw answered, otherwise than at capture.
struct ReplayDivergence {
    unsigned call = 0;          // the replayed call it happened in, counted from 0
    std::uint64_t offset = 0;   // of the call's record in the capture
    RecordKind kind = RecordKind::Blob;
    std::string what;
    std::string text() const;   // "record at offset N (kind): what"
};

struct ReplayReport {
    unsigned frames = 0;
    unsigned calls = 0;
    unsigned skippedCalls = 0;       // on renderers or textures the capture never saw made
    std::vector<ReplayDivergence> divergences;  // in the order they happened
    // Calls that threw when captured because the logging library threw, which the replay (with
    // no logging library) does not repeat.
    unsigned loggerThrows = 0;
};

// Told about every call the replay issues (the inspector builds its report from it).
class ReplayListener {
public:
    // Before a call is issued (its device answers are gathered already).
    virtual void callStarting(const CaptureCall& call) = 0;
    // After it returned or threw (`text`: what it threw); `captured` is the call's Threw record
    // when it threw on the captured machine, else null.
    virtual void callFinished(const CaptureCall& call, bool threw, const std::string& text,
                              const CaptureCall* captured) = 0;
    // The call just finished (or still running) diverged; told before callFinished.
    virtual void diverged(const ReplayDivergence&) {}
    // The call failed in the replay without throwing (createRenderer made no renderer), with
    // the module's error text; told before callFinished.
    virtual void callFailed(const CaptureCall&, const std::string& /*error*/) {}

protected:
    ~ReplayListener() = default;
};

class Replayer {
public:
    Replayer(const CaptureFile& capture, const dd7rdemo::RendererModule& module, Displays& displays,
             std::string workDirectory);
    ~Replayer();

    // Stops after frame `lastFrame` (inclusive).
    ReplayReport run(unsigned lastFrame, const std::function<void(ReplayFrame&)>& onFrame);
    void setListener(ReplayListener* listener) { listener_ = listener; }

    // What the replay made for the capture's ids (null: none, or gone).
    ZelUISystem::Texture* textureFor(std::uint32_t id) const;
    IDirectDrawSurface7* targetOf(std::uint32_t renderer) const;
    // The capture's renderer a call concerns: its own, or for a texture call the renderer that
    // made the texture (0: none the replay knows).
    std::uint32_t rendererOf(const CaptureCall& call) const;

private:
    struct RendererState;
    struct SurfaceReleaser {
        void operator()(IDirectDrawSurface7* surface) const;
    };
    using SurfacePtr = std::unique_ptr<IDirectDrawSurface7, SurfaceReleaser>;

    void gatherAnswers(std::size_t index);
    bool capturedThrow(std::size_t index, CaptureCall& threw) const;
    void issue(std::size_t index, const CaptureCall& call);
    void issueRendererCall(RendererState& state, const CaptureCall& call);
    void issueTextureCall(ZelUISystem::Texture& texture, const CaptureCall& call);
    void createRenderer(const CaptureCall& call);
    void destroyRenderer(const CaptureCall& call);
    void createTexture(RendererState& state, const CaptureCall& call);
    void setTarget(RendererState& state, const CaptureCall& call);
    void fillTarget(RendererState& state, const CaptureCall& call);
    void renderFrame(RendererState& state);
    void resetSurfaces();
    ZelUISystem::Texture* texture(std::uint32_t ref);
    void forgetTexturesOf(std::uint32_t renderer);
    // The bytes a call hands the module: the recorded blob, or zeros of the recorded size.
    const std::uint8_t* bytesFor(const CaptureCall& call, std::uint64_t size);
    std::string placeFile(std::uint32_t textureId, const CaptureCall& call, std::string& directory);
    void writeFile(const std::filesystem::path& file, const BlobView& blob);
    void replaceSourceFile(const CaptureCall& call);
    void diverge(const CaptureCall& call, const std::string& what);
    // Asks the replay's DirectDraw for every surface the captured module asked for during the
    // call, and diverges where the answer differs from the recorded one.
    void compareSurfaceAnswers(const CaptureCall& call);
    IDirectDraw7* directDrawOf(const CaptureCall& call) const;

    const CaptureFile& capture_;
    const dd7rdemo::RendererModule& module_;
    Displays& displays_;
    std::string workDirectory_;
    AnswerBook answers_;
    std::vector<CaptureCall> surfaceAnswers_;  // recorded during the call being replayed
    bool loggerThrew_ = false;                 // the logging library threw during it
    std::map<std::uint32_t, std::unique_ptr<RendererState>> renderers_;
    std::map<std::uint32_t, ZelUISystem::Texture*> textures_;
    std::map<std::uint32_t, std::uint32_t> textureOwners_;
    std::map<std::uint32_t, std::string> placedFiles_;  // by texture: the file it was loaded from
    std::vector<std::uint8_t> standIn_;
    ReplayReport report_;
    ReplayFrame pending_;
    std::function<void(ReplayFrame&)> onFrame_;
    unsigned lastFrame_ = 0;
    bool stopped_ = false;
    ReplayListener* listener_ = nullptr;
    std::size_t fileCounter_ = 0;
};

}  // namespace dd7rreplay
