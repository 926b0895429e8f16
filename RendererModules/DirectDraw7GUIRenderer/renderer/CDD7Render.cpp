// Construction, display state, device resets and destruction of the renderer.

#include "renderer/CDD7Render.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

#include "diagnostics/ModuleLogger.h"
#include "diagnostics/ReportedFailure.h"
#include "diagnostics/SlotPrologue.h"
#include "renderer/ProcessorCheck.h"
#include "renderer/SafeTruncate.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

namespace {

const char* const kDeviceIsNull = "CDD7Render::CDD7Render() --> Renderer device is NULL.";
const char* const kNoDirectDraw =
    "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object.";
const char* const kResetLostDirectDraw = "CDD7Render can't get the IDirectDraw7 device.";
const char* const kIdString = "CDD7Render - DirectDraw 7 based renderer module";

// A non-zero blend mode needs the MMX kernels; without MMX everything is copied (mode 0).
std::int32_t blendModeFor(int deviceAnswer, bool mmx) {
    if (deviceAnswer == 0 || !mmx) return 0;
    return deviceAnswer == 1 ? 1 : 2;
}

LONG clampToLong(std::uint32_t value) {
    return static_cast<LONG>(std::min<std::uint32_t>(value, std::numeric_limits<LONG>::max()));
}

}  // namespace

CDD7Render::CDD7Render(RendererDevice* rendererDevice, std::uint32_t /*reserved*/, bool hostFlagValue)
    : Renderer(hostFlagValue) {
    device_.device = rendererDevice;
    if (rendererDevice == nullptr) throw std::runtime_error(kDeviceIsNull);
    device_.directDraw = callHost([&] { return rendererDevice->queryDirectDraw(); });
    if (device_.directDraw == nullptr) throw std::runtime_error(kNoDirectDraw);

    mmx_ = processorHasMMX();
    blendMode = blendModeFor(callHost([&] { return rendererDevice->queryBlendMode(); }), mmx_);
    selectKernels();
    reservedFlag = false;

    float width = 0.0f;
    float height = 0.0f;
    callHost([&] { rendererDevice->queryDisplaySize(&width, &height); });
    queueing_ = true;
    displayWidth_ = truncateToUint32(width);
    displayHeight_ = truncateToUint32(height);
    maxTextureSize_ = truncateToUint32(height < width ? height : width);

    // A constructor that throws never reaches the destructor: the textures made so far must be
    // released here.
    try {
        createOwnedTextures();
    } catch (...) {
        releaseAllTexturesWithoutRebuild();
        throw;
    }

    presentRect = HostRect{0, 0, clampToLong(displayWidth_), clampToLong(displayHeight_)};
    idString = kIdString;
}

CDD7Render::~CDD7Render() { releaseAllTexturesWithoutRebuild(); }

void* CDD7Render::destroy(std::uint32_t flags) { return destroyObject(this, flags); }

void CDD7Render::releaseAllTexturesWithoutRebuild() {
    releaseOwnedTextures();
    releaseAllTextures();
}

void CDD7Render::createOwnedTextures() {
    createScratchTexture(displayWidth_, displayHeight_);
    createCompositionSurface();
}

CDD7Texture* CDD7Render::createBlankTexture(std::uint32_t width, std::uint32_t height) {
    CDD7Texture* texture = appendNewTexture();
    try {
        texture->CreateBlankSurface(width, height);
    } catch (...) {
        destroyTexture(texture);
        throw;
    }
    return texture;
}

void CDD7Render::createScratchTexture(std::uint32_t width, std::uint32_t height) {
    scratchTexture_ = createBlankTexture(width, height);
}

void CDD7Render::createCompositionSurface() {
    if (blendMode != 0 || compositionSurface_ != nullptr) return;
    compositionSurface_ = createBlankTexture(displayWidth_, displayHeight_);
    clearCompositionSurface();
}

// The renderer's own textures are left without surfaces when they are made while DirectDraw
// cannot make any (no cooperative level, no DirectDraw object); they get them as soon as it can.
void CDD7Render::makeMissingOwnSurfaces() {
    if (scratchTexture_ != nullptr && scratchTexture_->surface() == nullptr)
        scratchTexture_->CreateBlankSurface(displayWidth_, displayHeight_);
    if (compositionSurface_ != nullptr && compositionSurface_->surface() == nullptr) {
        compositionSurface_->CreateBlankSurface(displayWidth_, displayHeight_);
        clearCompositionSurface();
    }
}

// Drawing goes on without them when they still cannot be made; the failure has been logged.
void CDD7Render::makeMissingOwnSurfacesBeforeDrawing() {
    try {
        makeMissingOwnSurfaces();
    } catch (const std::exception&) {
    }
}

void CDD7Render::clearCompositionSurface() {
    IDirectDrawSurface7* surface = compositionSurface_->surface();
    if (surface == nullptr) return;
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
}

void CDD7Render::releaseOwnedTextures() {
    if (scratchTexture_ != nullptr) destroyTexture(scratchTexture_);
    if (compositionSurface_ != nullptr) destroyTexture(compositionSurface_);
}

bool CDD7Render::setDisplaySize(float width, float height) {
    const std::uint32_t newWidth = truncateToUint32(width);
    const std::uint32_t newHeight = truncateToUint32(height);
    if (newWidth == displayWidth_ && newHeight == displayHeight_) return false;
    displayWidth_ = newWidth;
    displayHeight_ = newHeight;
    logLine(kLogLevelInfo, "CDD7Render::setDisplaySize (width %f, height %f)",
            static_cast<double>(newWidth), static_cast<double>(newHeight));
    return true;
}

float CDD7Render::getDisplayWidth() const { return unsignedToFloat(displayWidth_); }

float CDD7Render::getDisplayHeight() const { return unsignedToFloat(displayHeight_); }

void CDD7Render::getDisplaySize(float* width, float* height) const {
    if (width != nullptr) *width = getDisplayWidth();
    if (height != nullptr) *height = getDisplayHeight();
}

void CDD7Render::getDisplayRect(float* left, float* top, float* right, float* bottom) const {
    if (left != nullptr) *left = 0.0f;
    if (top != nullptr) *top = 0.0f;
    if (right != nullptr) *right = getDisplayWidth();
    if (bottom != nullptr) *bottom = getDisplayHeight();
}

std::uint32_t CDD7Render::getTextureSizeLimit() const { return maxTextureSize_; }

std::uint32_t CDD7Render::getHorzDpi() const { return 96; }

std::uint32_t CDD7Render::getVertDpi() const { return 96; }

void CDD7Render::preD3DReset() {
    DD7R_SLOT(preD3DReset);
    if (scratchTexture_ == nullptr) return;
    releaseOwnedTextures();
    for (CDD7Texture* texture : textureList_) texture->preD3DReset();
}

void CDD7Render::postD3DReset(bool* sizeChanged) {
    DD7R_SLOT(postD3DReset, sizeChanged);
    device_.directDraw = callHost([&] { return device_.device->queryDirectDraw(); });
    if (device_.directDraw == nullptr) raiseReported(kResetLostDirectDraw);
    if (sizeChanged != nullptr) *sizeChanged = false;
    if (scratchTexture_ != nullptr) {
        makeMissingOwnSurfaces();
        return;
    }

    float width = 0.0f;
    float height = 0.0f;
    callHost([&] { device_.device->queryDisplaySize(&width, &height); });
    const bool changed = setDisplaySize(width, height);
    if (sizeChanged != nullptr) *sizeChanged = changed;
    // The surfaces are re-created at the new size, so the picture presented from them and the
    // clip test follow it as well.
    presentRect = HostRect{0, 0, clampToLong(displayWidth_), clampToLong(displayHeight_)};
    logLine(kLogLevelInfo, "CDD7Render::postD3DReset (width %f, height %f)",
            static_cast<double>(width), static_cast<double>(height));

    // A failed re-creation leaves the renderer waiting for the next reset notification, which
    // then tries again, rather than half built.
    try {
        createScratchTexture(truncateToUint32(width), truncateToUint32(height));
        createCompositionSurface();
    } catch (...) {
        releaseOwnedTextures();
        throw;
    }
    for (CDD7Texture* texture : textureList_) texture->postD3DReset();
}

void CDD7Render::reservedHookA(std::uint32_t, std::uint32_t) {}

void CDD7Render::reservedHookB(std::uint32_t, std::uint32_t, std::uint32_t) {}

void CDD7Render::setTargetSurface(IDirectDrawSurface7* surface) {
    DD7R_SLOT(setTargetSurface, surface);
    targetSurface_ = surface;
}

void CDD7Render::reservedHookC() {}

void CDD7Render::reservedHookD() {}

}  // namespace ZelUISystem
