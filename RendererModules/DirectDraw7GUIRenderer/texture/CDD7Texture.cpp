// The texture object: its sizes, its surface's lifetime, loading from raw pixels, and the
// release and rebuild of its surface around a device reset.

#include "diagnostics/SlotPrologue.h"
#include "texture/CDD7Texture.h"

#include <exception>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

#include "diagnostics/ModuleLogger.h"
#include "diagnostics/ReportedFailure.h"
#include "platform/HostExceptions.h"
#include "texture/SurfaceCreation.h"
#include "texture/TextureMemory.h"

namespace ZelUISystem {

namespace {

const char* const kNoPixelFormat =
    "CDD7Texture::loadFromMemory  -- Failed to get the surface pixel format.";
const char* const kTooLarge =
    "CDD7Texture::loadFromMemory  -- Texture size is too large (width x height x 4 exceeds 32 bits).";

std::uint32_t bytesPerSourcePixel(TextureFormat format) {
    return static_cast<std::uint32_t>(rebuild::pixelCopyBytes(format, 1, 1));
}

// Every byte count of a texture (width x height x 4 at most) must fit in 32 bits.
bool sizeFitsIn32Bits(std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint64_t>(width) * height * 4 <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

CDD7Texture::CDD7Texture(CDD7Render* ownerRenderer, const TextureDevice& device)
    : Texture(ownerRenderer), device_(device) {}

CDD7Texture::~CDD7Texture() { releaseSurface(); }

void* CDD7Texture::destroy(std::uint32_t flags) { return destroyObject(this, flags); }

void* CDD7Texture::operator new(std::size_t bytes) { return texturememory::allocate(bytes); }

void CDD7Texture::operator delete(void* block) noexcept { texturememory::release(block); }

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
    // past it; the rebuild reads the copy back in the same format. Without memory for the copy
    // nothing is kept, and the surface is restored in place instead.
    setSizes(width, height);
    const auto byteCount = static_cast<std::uint32_t>(rebuild::pixelCopyBytes(format, width, height));
    Texture::loadFromFileData(static_cast<const std::uint8_t*>(pixels), byteCount);
    if (keptData != nullptr) source_ = rebuild::FromPixels{format, width, height};
}

bool CDD7Texture::keptCopyHolds(const rebuild::FromPixels& pixels) const {
    return keptData != nullptr &&
           keptDataSize == rebuild::pixelCopyBytes(pixels.format, pixels.width, pixels.height);
}

void CDD7Texture::loadFromMemory(const void* pixels, std::uint32_t width, std::uint32_t height,
                                 TextureFormat format) {
    DD7R_SLOT(loadFromMemory, pixels, width, height, format);
    loadPixels(pixels, width, height, format, inMemory ? PixelCopy::Keep : PixelCopy::DontKeep);
}

void CDD7Texture::loadPixels(const void* pixels, std::uint32_t width, std::uint32_t height,
                             TextureFormat format, PixelCopy copy) {
    releaseSurface();
    source_ = rebuild::InPlace{};
    if (!sizeFitsIn32Bits(width, height)) raiseReported(kTooLarge);
    if (copy == PixelCopy::Keep) keepPixelCopy(pixels, width, height, format);
    alpha_ = format == TEXFMT_RGBA;
    makePicture(pixels, width, height, format);
}

// The surface for a picture, filled; on failure the texture is left without a surface. Memory
// running out on the way is told as DirectDraw tells it, whatever ran out.
void CDD7Texture::makePicture(const void* pixels, std::uint32_t width, std::uint32_t height,
                              TextureFormat format) {
    try {
        createPictureSurface(pixels, width, height, format);
    } catch (const HostStandardError& error) {
        // The host's own exception (its device threw): reported, then handed back as it is.
        releaseSurface();
        reportFatal(error.what());
        throw;
    } catch (const std::bad_alloc&) {
        releaseSurface();
        raiseReported(surfaceCreationFailureText(DDERR_OUTOFMEMORY));
    } catch (const std::exception& error) {
        releaseSurface();
        raiseReported(error.what());
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
    if (!restoresInPlace()) releaseSurface();
}

void CDD7Texture::postD3DReset() {
    if (restoresInPlace()) {
        if (surface_ != nullptr) surface_->Restore();
        return;
    }
    releaseSurface();
    if (const auto* pixels = std::get_if<rebuild::FromPixels>(&source_)) {
        rebuildFromPixels(*pixels);
    } else if (std::holds_alternative<rebuild::FromFile>(source_)) {
        rebuildFromFile();
    } else if (std::holds_alternative<rebuild::FromFileBytes>(source_) && keptData != nullptr &&
               keptDataSize != 0) {
        loadFromFileData(keptData, keptDataSize);
    }
}

// The kept pixels are uploaded again whatever the in-memory flag says now; the texture keeps
// them as its source. A copy replaced behind the texture's back (through the base class) is
// not read.
void CDD7Texture::rebuildFromPixels(const rebuild::FromPixels& pixels) {
    if (!keptCopyHolds(pixels)) return;
    alpha_ = pixels.format == TEXFMT_RGBA;
    makePicture(keptData, pixels.width, pixels.height, pixels.format);
}

void CDD7Texture::rebuildFromFile() {
    // The loader overwrites these members, so it reads copies.
    const std::string name = fileName;
    const std::string folder = directory;
    loadFromFile(name.c_str(), folder.c_str());
}

}  // namespace ZelUISystem
