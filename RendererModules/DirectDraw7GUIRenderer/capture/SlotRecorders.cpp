// The recorders, offered to the renderer's and the textures' slots through their hook.

#include "capture/CaptureHooks.h"
#include "diagnostics/SlotRecorder.h"

namespace ZelUISystem {
namespace capture {

namespace {

class SessionSlotRecorder final : public SlotRecorder {
public:
    void submitQuad(CDD7Render* renderer, FloatRect destRect, float z, Texture* texture,
                    FloatRect sourceRect, CornerColours colours, std::int32_t reserved) override {
        capture::submitQuad(renderer, destRect, z, texture, sourceRect, colours, reserved);
    }
    void renderQueue(CDD7Render* renderer) override { capture::renderQueue(renderer); }
    void discardQueue(CDD7Render* renderer) override { capture::discardQueue(renderer); }
    void setQueueing(CDD7Render* renderer, bool queueing) override {
        capture::setQueueing(renderer, queueing);
    }
    Texture* createTexture(CDD7Render* renderer) override { return capture::createTexture(renderer); }
    Texture* createTexture(CDD7Render* renderer, float size) override {
        return capture::createTexture(renderer, size);
    }
    Texture* createTexture(CDD7Render* renderer, const std::uint8_t* fileData,
                           std::uint32_t size) override {
        return capture::createTexture(renderer, fileData, size);
    }
    Texture* createTexture(CDD7Render* renderer, const char* fileName,
                           const char* directory) override {
        return capture::createTexture(renderer, fileName, directory);
    }
    void releaseTexture(CDD7Render* renderer, Texture* texture) override {
        capture::releaseTexture(renderer, texture);
    }
    void releaseAllTextures(CDD7Render* renderer) override { capture::releaseAllTextures(renderer); }
    void preD3DReset(CDD7Render* renderer) override { capture::preD3DReset(renderer); }
    void postD3DReset(CDD7Render* renderer, bool* sizeChanged) override {
        capture::postD3DReset(renderer, sizeChanged);
    }
    void setTargetSurface(CDD7Render* renderer, IDirectDrawSurface7* surface) override {
        capture::setTargetSurface(renderer, surface);
    }
    void loadFromFile(CDD7Texture* texture, const char* fileName, const char* directory) override {
        capture::loadFromFile(texture, fileName, directory);
    }
    void loadFromFileData(CDD7Texture* texture, const std::uint8_t* data,
                          std::uint32_t size) override {
        capture::loadFromFileData(texture, data, size);
    }
    void loadFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t width,
                        std::uint32_t height, TextureFormat format) override {
        capture::loadFromMemory(texture, pixels, width, height, format);
    }
    void fillFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t x, std::uint32_t y,
                        std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                        TextureFormat format) override {
        capture::fillFromMemory(texture, pixels, x, y, width, height, pitch, format);
    }
};

SessionSlotRecorder sessionSlotRecorder;

}  // namespace

void setHostLevelSession(CaptureSession* session) {
    hostLevelSession = session;
    hostSlotRecorder = session != nullptr ? &sessionSlotRecorder : nullptr;
}

}  // namespace capture
}  // namespace ZelUISystem
