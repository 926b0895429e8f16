#pragma once
// One capture being written: the file, the ids the capture gives renderers and textures, the
// renderer devices it listens to, the target surfaces whose contents it keeps, and the rules
// around one host call. Every operation catches its own failures: a failure to write turns the
// capture off with one log line and never reaches the host.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "capture/CaptureWriter.h"
#include "capture/TargetPicture.h"
#include "platform/DirectDraw.h"

namespace ZelUISystem {

class Renderer;
class RendererDevice;
class Texture;

namespace capture {

class RecordingDevice;

class CaptureSession {
public:
    explicit CaptureSession(std::string path);
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    bool active() const { return active_; }
    // Whether the target's picture is kept before every frame (on unless DD7R_CAPTURE_TARGETS=0).
    void keepTargetPictures(bool keep) { keepTargets_ = keep; }

    // A host call begins (the slots it reaches are not recorded) and ends (the device answers
    // given during it and its exception, if any, follow its record).
    void beginHostCall();
    void endHostCall();
    void noteThrow(bool standardException, const char* text);

    void write(const RecordBuilder& record);
    std::uint32_t storeBlob(const void* data, std::size_t size);
    // Device answers are held while a host call runs and written after its record.
    void writeDeviceAnswer(const RecordBuilder& record);
    void endFrame();

    // Renderers are known from createRenderer; a renderer made another way gets an id at its
    // first recorded call.
    std::uint32_t rendererId(const Renderer* renderer);
    void forgetRenderer(const Renderer* renderer);
    // The host's device behind a listening stand-in that the renderer is built with.
    RendererDevice* listenTo(RendererDevice* hostDevice);

    std::uint32_t newTextureId(const Texture* texture, const Renderer* owner);
    std::uint32_t textureRef(const Texture* texture) const;
    // Forgets a texture that its owner has just destroyed (not one another renderer owns).
    void forgetTexture(const Texture* texture, const Renderer* owner);
    void forgetTexturesOf(const Renderer* owner);
    // Writes a TextureFlags record when the host changed a texture's in-memory flag.
    void noteInMemoryFlag(const Texture* texture);
    void noteInMemoryFlagsOf(const Renderer* owner);
    // The blob of the file a texture was just loaded from (kNoBlob: not readable).
    void noteSourceFile(const Texture* texture, std::uint32_t blob);
    // Before a call that may rebuild textures from their files (a reset, or drawing a texture
    // that lost its surface): the files' bytes as they are now, in a SourceFile record for each
    // texture whose bytes differ from those recorded last. `onlyWithoutSurface` limits it to
    // the textures drawing would rebuild.
    void recordRebuildSources(const Renderer* owner, bool onlyWithoutSurface);

    void setTarget(const Renderer* renderer, IDirectDrawSurface7* target);
    // Keeps what the target holds before the module draws on it (a host draws its own picture
    // under the overlay), so that a replay draws over the same pixels.
    void recordTargetContents(const Renderer* renderer);
    void markTargetDrawn(const Renderer* renderer);
    bool targetContentsDue(const Renderer* renderer) const;

    // Turns the capture off after a failure, with one line for the module logger.
    void disable(const char* why);

private:
    struct RendererEntry {
        std::uint32_t id = 0;
        IDirectDrawSurface7* target = nullptr;
        TargetPicture picture;
        bool contentsDue = true;
    };
    struct TextureEntry {
        std::uint32_t id = 0;
        const Renderer* owner = nullptr;
        bool inMemory = false;
        std::uint32_t fileBlob = kNoBlob;  // the bytes last recorded for its file
    };

    void reportFailure();
    void checkWriter();

    std::string path_;
    std::string failure_;
    bool failureReported_ = false;
    CaptureWriter writer_;
    bool active_ = false;
    bool keepTargets_ = true;
    std::vector<RecordBuilder> heldAnswers_;
    bool inHostCall_ = false;
    bool threw_ = false;
    bool threwStandard_ = false;
    std::string threwText_;
    std::uint32_t nextRendererId_ = 1;
    std::uint32_t nextTextureId_ = 1;
    std::unordered_map<const Renderer*, RendererEntry> renderers_;
    std::unordered_map<const Texture*, TextureEntry> textures_;
    // The same textures by owner, so that what concerns one renderer's textures visits those
    // alone. Only addresses: a texture is read only once textures_ holds it.
    std::unordered_map<const Renderer*, std::unordered_set<const Texture*>> texturesByOwner_;
    std::vector<std::unique_ptr<RecordingDevice>> devices_;
};

}  // namespace capture
}  // namespace ZelUISystem
