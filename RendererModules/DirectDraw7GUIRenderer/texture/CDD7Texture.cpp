// The texture object: its sizes, its surface's lifetime, loading from raw pixels, and the
// release and rebuild of its surface around a device reset.

#include "module/capture/CaptureHooks.h"
#include "texture/CDD7Texture.h"

#include <exception>
#include <limits>
#include <stdexcept>
#include <string>

#include "module/ModuleLogger.h"
#include "renderer/CDD7Render.h"

namespace ZelUISystem {

namespace {

const char* const kNoPixelFormat =
    "CDD7Texture::loadFromMemory  -- Failed to get the surface pixel format.";
const char* const kTooLarge =
    "CDD7Texture::loadFromMemory  -- Texture size is too large (width x height x 4 exceeds 32 bits).";

std::uint32_t bytesPerSourcePixel(TextureFormat format) {
    return format == TEXFMT_RGBA || format == TEXFMT_BGRA ? 4 : 3;
}

// Every byte count of a texture (width x height x 4 at most) must fit in 32 bits.
bool sizeFitsIn32Bits(std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint64_t>(width) * height * 4 <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

CDD7Texture::CDD7Texture(CDD7Render* ownerRenderer) : Texture(ownerRenderer) {}

CDD7Texture::~CDD7Texture() { releaseSurface(); }

std::uint32_t CDD7Texture::getWidth() const { return width_; }
std::uint32_t CDD7Texture::getImageWidth() const { return imageWidth_; }
std::uint32_t CDD7Texture::getHeight() const { return height_; }
std::uint32_t CDD7Texture::getImageHeight() const { return imageHeight_; }

void CDD7Texture::releaseSurface() {
    if (surface_ != nullptr) surface_->Release();
    surface_ = nullptr;
}

void CDD7Texture::setSizes(std::uint32_t width, std::uint32_t height) {
    width_ = imageWidth_ = width;
    height_ = imageHeight_ = height;
}

void CDD7Texture::PrepareSized(std::uint32_t /*size*/) { releaseSurface(); }

void CDD7Texture::CreateBlankSurface(std::uint32_t width, std::uint32_t height) {
    CreateSurface(width, height, &surface_, true);
}

void CDD7Texture::keepPixelCopy(const void* pixels, std::uint32_t width, std::uint32_t height,
                                TextureFormat format) {
    // Exactly the bytes the caller's buffer holds for its format, so that the copy never reads
    // past it; the rebuild reads the copy back in the same format.
    if (decodingFileData_) return;
    const std::uint32_t byteCount = width * height * bytesPerSourcePixel(format);
    Texture::loadFromFileData(static_cast<const std::uint8_t*>(pixels), byteCount);
    keptPixelFormat_ = format;
    keptDataIsPixelCopy_ = true;
}

bool CDD7Texture::hasKeptPixelCopy() const {
    const std::uint64_t expected =
        std::uint64_t{imageWidth_} * imageHeight_ * bytesPerSourcePixel(keptPixelFormat_);
    return keptDataIsPixelCopy_ && keptData != nullptr && keptDataSize == expected;
}

void CDD7Texture::loadFromMemory(const void* pixels, std::uint32_t width, std::uint32_t height,
                                 TextureFormat format) {
    DD7R_CAPTURE_HOOK(loadFromMemory(this, pixels, width, height, format));
    releaseSurface();
    restoreInPlace_ = true;
    if (!sizeFitsIn32Bits(width, height)) {
        reportFatal(kTooLarge);
        throw std::runtime_error(kTooLarge);
    }
    if (inMemory) {
        restoreInPlace_ = false;
        setSizes(width, height);
        keepPixelCopy(pixels, width, height, format);
    }
    alpha_ = format == TEXFMT_RGBA;
    try {
        createPictureSurface(pixels, width, height, format);
    } catch (const std::exception& error) {
        releaseSurface();
        reportFatal(error.what());
        throw std::runtime_error(error.what());
    }
    setSizes(width, height);
}

void CDD7Texture::createPictureSurface(const void* pixels, std::uint32_t width,
                                       std::uint32_t height, TextureFormat format) {
    CreateSurface(width, height, &surface_, alpha_);
    // No cooperative level now: the texture stays without a surface and is rebuilt when it is
    // next drawn or after the next reset.
    if (surface_ == nullptr) return;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat.dwSize = sizeof(desc.ddpfPixelFormat);
    if (FAILED(surface_->GetSurfaceDesc(&desc))) throw std::runtime_error(kNoPixelFormat);

    const std::uint32_t pitch = width * bytesPerSourcePixel(format);
    fillFromMemory(pixels, 0, 0, width, height, pitch, format);

    if (alpha_) {
        DDCOLORKEY black{0, 0};
        surface_->SetColorKey(DDCKEY_SRCBLT, &black);
    }
}

void CDD7Texture::preD3DReset() {
    if (!restoreInPlace_) releaseSurface();
}

void CDD7Texture::postD3DReset() {
    if (restoreInPlace_) {
        if (surface_ != nullptr) surface_->Restore();
        return;
    }
    releaseSurface();
    // The in-memory flag may have been set after the texture was made from image-file bytes:
    // those are decoded again, never read as pixels.
    if (inMemory && hasKeptPixelCopy()) {
        loadFromMemory(keptData, imageWidth_, imageHeight_, keptPixelFormat_);
    } else if (!fileName.empty()) {
        // The loader overwrites these members, so it reads copies.
        const std::string name = fileName;
        const std::string folder = directory;
        loadFromFile(name.c_str(), folder.c_str());
    } else if (keptData != nullptr && keptDataSize != 0) {
        loadFromFileData(keptData, keptDataSize);
    }
}

}  // namespace ZelUISystem
