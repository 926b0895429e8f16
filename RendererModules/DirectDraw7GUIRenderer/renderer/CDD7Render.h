#pragma once
// The module's renderer: draws the host's quads with DirectDraw 7 blits and software blend
// kernels, owns every texture it creates, and rebuilds its surfaces around device resets.

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "blend/KernelSelector.h"
#include "platform/DirectDraw.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "renderer/QuadRecord.h"
#include "texture/TextureDevice.h"

namespace ZelUISystem {

class CDD7Texture;

// Orders the quad queue by z, largest first. NaN has no place among the numbers, so it is
// ordered after every number (and equal to itself), which keeps the ordering strict and weak.
struct ZLargestFirst {
    bool operator()(float a, float b) const {
        if (a != a) return false;
        if (b != b) return true;
        return a > b;
    }
};

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
    std::size_t queuedQuadCount() const { return quadQueue_.size(); }
    std::string idText() const { return idString; }
    RECT presentRectangle() const { return presentRect; }

private:
    using QuadQueue = std::multimap<float, QuadRecord, ZLargestFirst>;

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
    bool ownsTexture(const Texture* texture) const;
    bool isHostTexture(const Texture* texture) const;
    void destroyTexture(CDD7Texture* texture);
    CDD7Texture* appendNewTexture();
    CDD7Texture* adoptTexture(std::unique_ptr<CDD7Texture> texture);
    void dropQueuedQuadsOf(const Texture* texture);

    void drawQuad(IDirectDrawSurface7* destination, const QuadRecord& quad);
    CDD7Texture* usableScratch() const;
    void drawBlended(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                     RECT sourceRect, const QuadColour& colour, bool stretch);
    void selectKernels();
    void runKernel(const DDSURFACEDESC2& source, const DDSURFACEDESC2& destination, const RECT& rect,
                   const QuadColour& colour, RGBMode mode);
    void copyEightBit(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& source,
                      RECT sourceRect);
    void drawCopied(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                    RECT sourceRect, const QuadColour& colour, bool stretch);
    bool drawTinted(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                    RECT sourceRect, const QuadColour& colour);

    std::uint32_t displayHeight_ = 0;
    std::uint32_t displayWidth_ = 0;
    QuadQueue quadQueue_;
    bool queueing_ = true;
    TextureDevice device_;  // shared with every texture this renderer makes
    IDirectDrawSurface7* targetSurface_ = nullptr;
    std::list<CDD7Texture*> textureList_;
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
