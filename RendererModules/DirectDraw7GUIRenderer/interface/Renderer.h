#pragma once
// The host's abstract renderer. The host calls the slots by position, so their order and
// signatures are part of the interface, and so are the base fields and their order.
//
// Slots 0 to 24 are the operations below, slot 25 is destroy (the place of the virtual
// destructor, see DestroySlot.h). On 32-bit Windows every slot is thiscall (this in ECX, the
// callee pops its arguments), which is what mingw-w64's g++ uses for member functions.

#include <cstdint>
#include "interface/DestroySlot.h"
#include "interface/HostRect.h"
#include "interface/HostString.h"

struct IDirectDrawSurface7;

namespace ZelUISystem {

class Texture;

// A rectangle in floating-point pixels, passed by value.
struct FloatRect {
    float left;
    float top;
    float right;
    float bottom;
};

// The four corner colours of a quad, 0xAARRGGBB each, in the order the host passes them.
struct CornerColours {
    std::uint32_t colour[4];
};

class Renderer {
public:
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    virtual void submitQuad(FloatRect destRect, float z, Texture* texture, FloatRect sourceRect,
                            CornerColours colours, std::int32_t reserved) = 0;
    virtual void renderQueue() = 0;
    virtual void discardQueue() = 0;
    virtual void setQueueing(bool queueing) = 0;
    // Slots 4 to 7. Microsoft's compiler gives a group of overloaded virtual functions their
    // slots in the reverse of their declaration order, so for it they are declared reversed.
#if defined(_MSC_VER)
    virtual Texture* createTexture() = 0;
    virtual Texture* createTexture(const char* fileName, const char* directory) = 0;
    virtual Texture* createTexture(const std::uint8_t* fileData, std::uint32_t size) = 0;
    virtual Texture* createTexture(float size) = 0;
#else
    virtual Texture* createTexture(float size) = 0;
    virtual Texture* createTexture(const std::uint8_t* fileData, std::uint32_t size) = 0;
    virtual Texture* createTexture(const char* fileName, const char* directory) = 0;
    virtual Texture* createTexture() = 0;
#endif
    virtual void releaseTexture(Texture* texture) = 0;
    virtual void releaseAllTextures() = 0;
    virtual bool isQueueing() const = 0;
    virtual float getDisplayWidth() const = 0;
    virtual float getDisplayHeight() const = 0;
    virtual void getDisplaySize(float* width, float* height) const = 0;
    virtual void getDisplayRect(float* left, float* top, float* right, float* bottom) const = 0;
    virtual std::uint32_t getTextureSizeLimit() const = 0;
    virtual std::uint32_t getHorzDpi() const = 0;
    virtual std::uint32_t getVertDpi() const = 0;
    virtual void preD3DReset() = 0;
    virtual void postD3DReset(bool* sizeChanged) = 0;
    virtual void reservedHookA(std::uint32_t a, std::uint32_t b) = 0;
    virtual void reservedHookB(std::uint32_t a, std::uint32_t b, std::uint32_t c) = 0;
    virtual void setTargetSurface(IDirectDrawSurface7* surface) = 0;
    virtual void reservedHookC() = 0;
    virtual void reservedHookD() = 0;
    // Slot 25: destroys the renderer and, with kDestroyAndFree, frees it; returns its address.
    // A host hands a renderer from createRenderer back to destroyRenderer instead.
    virtual void* destroy(std::uint32_t flags) = 0;

    // The ID string the module sets, read-only. Not virtual: the table stays as it is, and a
    // host of either toolchain reads the field as its own std::string (see HostString.h).
    const HostString& getIdString() const noexcept { return idString; }

protected:
    explicit Renderer(bool hostFlagValue) : hostFlag(hostFlagValue) {
        idString = "Unknown renderer (vendor did not set the ID string!)";
    }
    // Not virtual: destruction goes through the destroy slot.
    ~Renderer() = default;

    float reservedScaleA = 1.0f;
    HostString idString;
    bool hostFlag;
    std::uint32_t reservedWords[3] = {0, 0, 0};
    float reservedScaleB = 1.0f;
    std::int32_t blendMode = 0;
    bool reservedFlag = true;
    HostRect presentRect = {0, 0, 0, 0};
};
static_assert(kHasDestroySlotOnly<Renderer>, "Renderer is destroyed through slot 25 only");

}  // namespace ZelUISystem
