#pragma once
// Where the renderer's and the textures' slots hand a host's call while a capture of the
// session is being written. Capture sits above the renderer and the textures: it implements
// this interface and points `hostSlotRecorder` at it only while no host call is in progress, so
// a slot that finds it set was called by the host and is recorded (the recorder clears it while
// the slot runs, so the module's own calls into its slots are not recorded); otherwise the slot
// runs as if capture did not exist.
//
// Each recorder runs the slot itself (its body, not the hook again), records the call with what
// it needed from the host, and returns or rethrows exactly what the slot did.

#include <cstdint>

#include "interface/Renderer.h"
#include "interface/Texture.h"

struct IDirectDrawSurface7;

namespace ZelUISystem {

class CDD7Render;
class CDD7Texture;

class SlotRecorder {
public:
    virtual void submitQuad(CDD7Render* renderer, FloatRect destRect, float z, Texture* texture,
                            FloatRect sourceRect, CornerColours colours, std::int32_t reserved) = 0;
    virtual void renderQueue(CDD7Render* renderer) = 0;
    virtual void discardQueue(CDD7Render* renderer) = 0;
    virtual void setQueueing(CDD7Render* renderer, bool queueing) = 0;
    virtual Texture* createTexture(CDD7Render* renderer) = 0;
    virtual Texture* createTexture(CDD7Render* renderer, float size) = 0;
    virtual Texture* createTexture(CDD7Render* renderer, const std::uint8_t* fileData,
                                   std::uint32_t size) = 0;
    virtual Texture* createTexture(CDD7Render* renderer, const char* fileName,
                                   const char* directory) = 0;
    virtual void releaseTexture(CDD7Render* renderer, Texture* texture) = 0;
    virtual void releaseAllTextures(CDD7Render* renderer) = 0;
    virtual void preD3DReset(CDD7Render* renderer) = 0;
    virtual void postD3DReset(CDD7Render* renderer, bool* sizeChanged) = 0;
    virtual void setTargetSurface(CDD7Render* renderer, IDirectDrawSurface7* surface) = 0;

    virtual void loadFromFile(CDD7Texture* texture, const char* fileName, const char* directory) = 0;
    virtual void loadFromFileData(CDD7Texture* texture, const std::uint8_t* data,
                                  std::uint32_t size) = 0;
    virtual void loadFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t width,
                                std::uint32_t height, TextureFormat format) = 0;
    virtual void fillFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t x,
                                std::uint32_t y, std::uint32_t width, std::uint32_t height,
                                std::uint32_t pitch, TextureFormat format) = 0;

protected:
    ~SlotRecorder() = default;
};

// Non-null only at host level while a capture is being written.
extern SlotRecorder* hostSlotRecorder;

}  // namespace ZelUISystem

// One line at the top of a slot: `DD7R_CAPTURE_HOOK(slot(this, arguments...));` hands the call to
// the recorder of the same name when it is to be recorded.
#define DD7R_CAPTURE_HOOK(recorderCall)                                          \
    if (__builtin_expect(::ZelUISystem::hostSlotRecorder != nullptr, 0))        \
    return ::ZelUISystem::hostSlotRecorder->recorderCall
