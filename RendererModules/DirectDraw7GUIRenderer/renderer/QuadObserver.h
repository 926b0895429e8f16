#pragma once
// What drawQuad did with one quad, told to an optional observer: the replay's inspector sets it
// to learn which path the module took for each quad of a captured session. Null unless a tool
// sets it, and then read once per quad, never per pixel; observing changes nothing the module
// draws or asks of DirectDraw.
//
// Natively the pointer is a symbol of the shared module (dd7rQuadObserver), so that a tool that
// loads the module by path can find it; the Windows module exports nothing more than its three
// entry points, so a Windows tool observes the module's code linked into it.

#include <cstdint>

#include "interface/Renderer.h"
#include "platform/DirectDraw.h"

namespace ZelUISystem {

class Texture;

// How the quad reached the destination.
enum class QuadPath : std::uint8_t {
    Skipped = 0,
    Copied,          // BltFast, no key
    KeyedCopy,       // BltFast with the texture's source colour key
    Stretched,       // Blt, stretched, no key
    KeyedStretched,  // stretched into the scratch texture, then BltFast keyed
    Tinted,          // colour fill and keyed copies through the scratch texture
    Blended,         // a blend kernel over the locked rectangles
    StretchedBlended,  // stretched into the scratch texture, then a blend kernel
    EightBitCopied,  // 8-bit texture, Blt
    EightBitKeyed,   // 8-bit texture with alpha, through the scratch texture, keyed
};

// Why a quad was not drawn (Skipped), or None.
enum class QuadSkip : std::uint8_t {
    None = 0,
    ClippedAway,      // wholly outside the display
    NoDestination,    // no target surface (or composition surface)
    NoTexture,        // a null texture
    NoSurface,        // the texture has no surface, and rebuilding it made none
    LostSurface,      // the texture's surface was lost and could not be restored
    Transparent,      // the corners' mean alpha is 0
    NoScratch,        // the scratch texture a stretch or key needs is missing
    StretchFailed,    // the stretch into the scratch texture failed
    EmptyRectangle,   // nothing to blend
    LockFailed,       // a surface could not be locked
    OutsideSurface,   // the rectangles do not fit the locked surfaces
    LayoutMismatch,   // texture and destination differ in layout: never blended
};

// How drawing one quad ended: the path it took, or why it was skipped.
struct QuadOutcome {
    QuadPath path = QuadPath::Skipped;
    QuadSkip skip = QuadSkip::None;
    bool tintFellBack = false;  // a tint could not be drawn: copied untinted
};

struct QuadObservation {
    // The quad as the host submitted it.
    const Texture* texture = nullptr;
    FloatRect hostDestRect{};
    FloatRect hostSourceRect{};
    float z = 0.0f;
    CornerColours corners{};
    // What drawQuad made of it.
    IDirectDrawSurface7* destination = nullptr;  // the target, or the composition surface
    IDirectDrawSurface7* textureSurface = nullptr;
    RECT destRect{};    // as drawn: the host's rectangle truncated to integers
    RECT sourceRect{};
    std::uint32_t alpha = 0;  // the one colour the quad is drawn in (alpha 255 in blend mode 0)
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t textureMode = 0;  // RGBMode of the texture
    bool textureHasAlpha = false;
    bool textureInMemory = false;
    bool tintFellBack = false;  // the tint could not be drawn: copied untinted
    bool whiteKernel = false;   // the white-quad kernel (half or alpha) rather than the coloured one
    std::uint32_t kernelMode = 0;  // RGBMode the kernel walked
    QuadPath path = QuadPath::Skipped;
    QuadSkip skip = QuadSkip::None;
};

class QuadObserver {
public:
    // Must not throw: it runs while the module unwinds from a failed rebuild too.
    virtual void quadDrawn(const QuadObservation& observation) noexcept = 0;

protected:
    ~QuadObserver() = default;
};

}  // namespace ZelUISystem

extern "C" {
#if defined(_WIN32)
extern ZelUISystem::QuadObserver* dd7rQuadObserver;
#else
extern __attribute__((visibility("default"))) ZelUISystem::QuadObserver* dd7rQuadObserver;
#endif
}
