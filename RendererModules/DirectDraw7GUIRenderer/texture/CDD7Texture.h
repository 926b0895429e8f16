#pragma once
// A texture: one DirectDraw off-screen surface holding a picture, and what it takes to rebuild
// the picture after a device reset (kept pixels, kept file bytes, or the file's name).

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/DirectDraw.h"
#include "interface/Texture.h"
#include "blend/RGBMode.h"
#include "texture/RebuildSource.h"
#include "texture/TextureDevice.h"

namespace ZelUISystem {

class CDD7Render;

class CDD7Texture final : public Texture {
public:
    // The owner is only named in the base fields; surfaces are made through `device`, which the
    // owner keeps current and outlives the texture.
    CDD7Texture(CDD7Render* owner, const TextureDevice& device);
    ~CDD7Texture();
    void* destroy(std::uint32_t flags) override;

    // A destroyed texture's address is not given to a new texture soon after (TextureMemory.h).
    static void* operator new(std::size_t bytes);
    static void operator delete(void* block) noexcept;

    std::uint32_t getWidth() const override;
    std::uint32_t getImageWidth() const override;
    std::uint32_t getHeight() const override;
    std::uint32_t getImageHeight() const override;
    void loadFromFile(const char* fileName, const char* directory) override;
    void loadFromFileData(const std::uint8_t* data, std::uint32_t size) override;
    void loadFromMemory(const void* pixels, std::uint32_t width, std::uint32_t height,
                        TextureFormat format) override;
    void fillFromMemory(const void* pixels, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                        std::uint32_t height, std::uint32_t pitch, TextureFormat format) override;

    // Device reset: release the surface if it can be rebuilt, then restore or rebuild it.
    virtual void preD3DReset();
    virtual void postD3DReset();

    void CreateSurface(std::uint32_t width, std::uint32_t height, IDirectDrawSurface7** out,
                       bool colourKeyed);
    void CreateBlankSurface(std::uint32_t width, std::uint32_t height);
    void PrepareSized(std::uint32_t size);
    static RGBMode GetRGBMode(const DDSURFACEDESC2& desc);

    IDirectDrawSurface7* surface() const { return surface_; }
    RGBMode rgbMode() const { return rgbMode_; }
    void setRGBMode(RGBMode mode) { rgbMode_ = mode; }
    bool hasAlpha() const { return alpha_; }
    const RebuildSource& rebuildSource() const { return source_; }
    bool restoresInPlace() const { return std::holds_alternative<rebuild::InPlace>(source_); }
    bool isInMemory() const { return inMemory; }
    std::string loadedFileName() const { return fileName; }
    std::string loadedDirectory() const { return directory; }
    std::string lastResolvedPath() const { return resolvedPath; }
    const std::uint8_t* keptBytes() const { return keptData; }
    std::uint32_t keptByteCount() const { return keptDataSize; }

private:
    enum class PixelCopy { Keep, DontKeep };

    void releaseSurface();
    void loadPixels(const void* pixels, std::uint32_t width, std::uint32_t height,
                    TextureFormat format, PixelCopy copy);
    void makePicture(const void* pixels, std::uint32_t width, std::uint32_t height,
                     TextureFormat format);
    void createPictureSurface(const void* pixels, std::uint32_t width, std::uint32_t height,
                              TextureFormat format);
    void keepPixelCopy(const void* pixels, std::uint32_t width, std::uint32_t height,
                       TextureFormat format);
    void setSizes(std::uint32_t width, std::uint32_t height);
    bool keptCopyHolds(const rebuild::FromPixels& pixels) const;
    void rebuildFromPixels(const rebuild::FromPixels& pixels);
    void rebuildFromFile();
    void DecodeImage(const std::uint8_t* data, std::uint32_t size);
    const char* BuildPath(const char* fileName, const char* directory);
    void loadFromFileUnguarded(const char* fileName, const char* directory);

    const TextureDevice& device_;
    IDirectDrawSurface7* surface_ = nullptr;
    RebuildSource source_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t imageWidth_ = 0;
    std::uint32_t imageHeight_ = 0;
    bool alpha_ = false;
    RGBMode rgbMode_ = DDS_RGBMODE_NONE;
};

}  // namespace ZelUISystem
