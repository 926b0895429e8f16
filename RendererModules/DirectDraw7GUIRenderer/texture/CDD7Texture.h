#pragma once
// A texture: one DirectDraw off-screen surface holding a picture, and what it takes to rebuild
// the picture after a device reset (kept pixels, kept file bytes, or the file's name).

#include <cstdint>
#include <string>

#include "platform/DirectDraw.h"
#include "platform/Texture.h"
#include "texture/RGBMode.h"

namespace ZelUISystem {

class CDD7Render;

class CDD7Texture final : public Texture {
public:
    explicit CDD7Texture(CDD7Render* owner);
    ~CDD7Texture();
    void* destroy(std::uint32_t flags) override;

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
    bool restoresInPlace() const { return restoreInPlace_; }
    bool isInMemory() const { return inMemory; }
    const std::string& loadedFileName() const { return fileName; }
    const std::string& loadedDirectory() const { return directory; }
    const std::string& lastResolvedPath() const { return resolvedPath; }
    const std::uint8_t* keptBytes() const { return keptData; }
    std::uint32_t keptByteCount() const { return keptDataSize; }

private:
    void releaseSurface();
    void createPictureSurface(const void* pixels, std::uint32_t width, std::uint32_t height,
                              TextureFormat format);
    void keepPixelCopy(const void* pixels, std::uint32_t width, std::uint32_t height,
                       TextureFormat format);
    void setSizes(std::uint32_t width, std::uint32_t height);
    bool hasKeptPixelCopy() const;
    void DecodeImage(const std::uint8_t* data, std::uint32_t size);
    const char* BuildPath(const char* fileName, const char* directory);
    void loadFromFileUnguarded(const char* fileName, const char* directory);

    IDirectDrawSurface7* surface_ = nullptr;
    bool restoreInPlace_ = true;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t imageWidth_ = 0;
    std::uint32_t imageHeight_ = 0;
    bool alpha_ = false;
    RGBMode rgbMode_ = DDS_RGBMODE_NONE;
    // The byte order of the kept pixel copy, so that a rebuild reads it as it was given.
    TextureFormat keptPixelFormat_ = TEXFMT_RGBA;
    // Whether the kept data is the pixel copy (rather than image-file bytes): only a pixel copy
    // of the right size can be uploaded again as pixels.
    bool keptDataIsPixelCopy_ = false;
    // Set while file bytes are decoded: the decoded pixels are not kept over the bytes, which
    // are the texture's source (and may be its own kept copy being decoded).
    bool decodingFileData_ = false;
};

}  // namespace ZelUISystem
