#pragma once
// The host's abstract texture. Slot order, field order and field types are part of the
// interface: a host sets the in-memory flag by writing the field directly. Every body is in
// this header, so a host that includes it has the class's complete type information.
//
// Slots 0 to 9 are the operations below, slot 10 is destroy (the place of the virtual
// destructor, see DestroySlot.h); the module's texture adds preD3DReset (11) and postD3DReset
// (12). On 32-bit Windows every slot is thiscall.

#include <cstdint>
#include <cstring>
#include <new>
#include "interface/DestroySlot.h"
#include "interface/HostString.h"

namespace ZelUISystem {

class CDD7Render;

// Byte order of raw pixels handed to loadFromMemory and fillFromMemory.
enum TextureFormat : std::uint32_t {
    TEXFMT_RGB = 0,   // 3 bytes: red, green, blue
    TEXFMT_RGBA = 1,  // 4 bytes: red, green, blue, alpha
    TEXFMT_BGRA = 2,  // 4 bytes: blue, green, red, alpha (the 32-bit word 0xAARRGGBB)
};

class Texture {
public:
    explicit Texture(CDD7Render* ownerRenderer) : owner(ownerRenderer) {}
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    virtual std::uint32_t getWidth() const = 0;
    virtual std::uint32_t getImageWidth() const { return getWidth(); }
    virtual float getHorzScale() const { return 1.0f / static_cast<float>(getImageWidth()); }
    virtual std::uint32_t getHeight() const = 0;
    virtual std::uint32_t getImageHeight() const { return getHeight(); }
    virtual float getVertScale() const { return 1.0f / static_cast<float>(getImageHeight()); }
    virtual void loadFromFile(const char* fileName, const char* directory) = 0;
    // Keeps a private copy of the bytes (the file bytes, or a pixel copy). Reloading from the
    // texture's own copy keeps it; without memory for the copy nothing is kept.
    virtual void loadFromFileData(const std::uint8_t* data, std::uint32_t size) {
        if (data != nullptr && data == keptData) return;
        delete[] keptData;
        keptData = nullptr;
        keptDataSize = 0;
        if (data == nullptr || size == 0) return;
        auto* copy = new (std::nothrow) std::uint8_t[size];
        if (copy == nullptr) return;
        std::memcpy(copy, data, size);
        keptData = copy;
        keptDataSize = size;
    }
    virtual void loadFromMemory(const void* pixels, std::uint32_t width, std::uint32_t height,
                                TextureFormat format) = 0;
    virtual void fillFromMemory(const void* pixels, std::uint32_t x, std::uint32_t y,
                                std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                                TextureFormat format) = 0;
    // Slot 10: destroys the texture and, with kDestroyAndFree, frees it; returns its address.
    // Textures belong to their renderer: a host gives them back with releaseTexture.
    virtual void* destroy(std::uint32_t flags) = 0;

    // The names the texture was loaded under, read-only: the file name and folder as the host
    // passed them, and the path the module opened. Not virtual: the table stays as it is.
    const HostString& getFileName() const noexcept { return fileName; }
    const HostString& getDirectory() const noexcept { return directory; }
    const HostString& getResolvedPath() const noexcept { return resolvedPath; }

protected:
    // Not virtual: destruction goes through the destroy slot.
    ~Texture() { delete[] keptData; }

    std::uint8_t* keptData = nullptr;
    std::uint32_t keptDataSize = 0;
    HostString fileName;
    HostString directory;

public:
    bool inMemory = false;  // written by the host

protected:
    CDD7Render* owner;
    HostString resolvedPath;
};
static_assert(kHasDestroySlotOnly<Texture>, "Texture is destroyed through slot 10 only");

}  // namespace ZelUISystem
