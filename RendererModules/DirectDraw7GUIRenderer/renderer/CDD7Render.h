#pragma once
// The module's renderer: draws the host's quads with DirectDraw 7 blits and software blend
// kernels, owns every texture it creates, and rebuilds its surfaces around device resets.

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include "blend/KernelSelector.h"
#include "platform/DirectDraw.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "renderer/AddressTable.h"
#include "renderer/QuadObserver.h"
#include "renderer/QuadQueue.h"
#include "renderer/QuadRecord.h"
#include "texture/TextureDevice.h"

namespace ZelUISystem {

class CDD7Texture;

class CDD7Render final : public Renderer {
public:
    CDD7Render(RendererDevice* rendererDevice, std::uint32_t reserved, bool hostFlagValue);
    ~CDD7Render();
    void* destroy(std::uint32_t flags) override;

    // Quad queue and render pass.
    void submitQuad(FloatRect destRect, float z, Texture* texture, FloatRect sourceRect,
                    CornerColours colours, std::int32_t reserved) override;
    void renderQueue() override;
    void discardQueue() override;
    void setQueueing(bool queueing) override;
    bool isQueueing() const override;

    // Texture registry.
    Texture* createTexture(float size) override;
    Texture* createTexture(const std::uint8_t* fileData, std::uint32_t size) override;
    Texture* createTexture(const char* fileName, const char* directory) override;
    Texture* createTexture() override;
    void releaseTexture(Texture* texture) override;
    void releaseAllTextures() override;

    // Display state.
    float getDisplayWidth() const override;
    float getDisplayHeight() const override;
    void getDisplaySize(float* width, float* height) const override;
    void getDisplayRect(float* left, float* top, float* right, float* bottom) const override;
    std::uint32_t getTextureSizeLimit() const override;
    std::uint32_t getHorzDpi() const override;
    std::uint32_t getVertDpi() const override;
    void preD3DReset() override;
    void postD3DReset(bool* sizeChanged) override;
    void reservedHookA(std::uint32_t a, std::uint32_t b) override;
    void reservedHookB(std::uint32_t a, std::uint32_t b, std::uint32_t c) override;
    void setTargetSurface(IDirectDrawSurface7* surface) override;
    void reservedHookC() override;
    void reservedHookD() override;

    IDirectDraw7* directDraw() const { return device_.directDraw; }
    RendererDevice* device() const { return device_.device; }
    const TextureDevice& textureDevice() const { return device_; }

    // Read-only views for diagnostics and tests.
    std::int32_t currentBlendMode() const { return blendMode; }
    bool hasMMX() const { return mmx_; }
    CDD7Texture* scratchTexture() const { return scratchTexture_; }
    CDD7Texture* compositionSurface() const { return compositionSurface_; }
    const std::list<CDD7Texture*>& textures() const { return textureList_; }
    std::size_t queuedQuadCount() const { return quadQueue_.size() - releasedQuads_; }
    std::string idText() const { return idString; }
    RECT presentRectangle() const {
        return RECT{presentRect.left, presentRect.top, presentRect.right, presentRect.bottom};
    }

private:
    // What the renderer knows of one of its textures, found by the texture's address alone.
    struct RegisteredTexture {
        std::list<CDD7Texture*>::iterator position;  // in textureList_
        // Its quads in the queue, while queueGeneration is the queue's own.
        std::size_t queued = 0;
        std::uint32_t queueGeneration = 0;
        // Destroyed while quads of it were queued: the address stays known, and names no
        // texture, until those quads have left the queue.
        bool released = false;
    };

    bool setDisplaySize(float width, float height);
    void createOwnedTextures();
    CDD7Texture* createBlankTexture(std::uint32_t width, std::uint32_t height);
    void createScratchTexture(std::uint32_t width, std::uint32_t height);
    void createCompositionSurface();
    void makeMissingOwnSurfaces();
    void makeMissingOwnSurfacesBeforeDrawing();
    void releaseOwnedTextures();
    void releaseAllTexturesWithoutRebuild();
    void clearCompositionSurface();
    RegisteredTexture* hostTextureEntry(const Texture* texture);
    void destroyTexture(CDD7Texture* texture);
    CDD7Texture* appendNewTexture();
    CDD7Texture* adoptTexture(std::unique_ptr<CDD7Texture> texture);
    void countQueuedQuad(RegisteredTexture& entry);
    void dropReleasedQuads();
    void emptyQueue();
    void drawQueue(IDirectDrawSurface7* destination);

    void drawQuad(IDirectDrawSurface7* destination, const QuadRecord& quad);
    QuadOutcome paintQuad(IDirectDrawSurface7* destination, const QuadRecord& quad);
    CDD7Texture* usableScratch() const;
    QuadOutcome drawBlended(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                            RECT sourceRect, const QuadColour& colour, bool stretch);
    void selectKernels();
    QuadOutcome runKernel(const DDSURFACEDESC2& source, const DDSURFACEDESC2& destination,
                          const RECT& rect, const QuadColour& colour, RGBMode mode, QuadPath path);
    QuadOutcome copyEightBit(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& source,
                             RECT sourceRect);
    QuadOutcome drawCopied(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                           RECT sourceRect, const QuadColour& colour, bool stretch);
    QuadOutcome copyUntinted(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                             RECT sourceRect, bool stretch);
    bool drawTinted(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                    RECT sourceRect, const QuadColour& colour);

    std::uint32_t displayHeight_ = 0;
    std::uint32_t displayWidth_ = 0;
    QuadQueue quadQueue_;
    bool queueing_ = true;
    TextureDevice device_;  // shared with every texture this renderer makes
    IDirectDrawSurface7* targetSurface_ = nullptr;
    std::list<CDD7Texture*> textureList_;  // in creation order, the order of every walk
    AddressTable<RegisteredTexture> textureIndex_;
    // Every clear of the queue starts a generation: the per-texture counts of an older one are
    // void, so that a clear does not visit the textures.
    std::uint32_t queueGeneration_ = 1;
    std::size_t releasedQuads_ = 0;  // queued quads of released textures, still to be removed
    std::uint32_t maxTextureSize_ = 0;
    CDD7Texture* scratchTexture_ = nullptr;
    CDD7Texture* compositionSurface_ = nullptr;
    bool mmx_ = false;
    // The kernels quad drawing runs for coloured and for white quads, one per layout, chosen
    // once by the kernel selector; and whether a blend between two layouts was reported yet.
    blend::LayoutKernels colouredKernels_{};
    blend::LayoutKernels whiteKernels_{};
    bool layoutMismatchReported_ = false;
};

}  // namespace ZelUISystem
