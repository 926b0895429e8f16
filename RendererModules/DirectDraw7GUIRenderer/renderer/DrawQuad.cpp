// Drawing one quad: the only place where a quad becomes pixels. A quad is reduced to one flat
// colour and one alpha; it is then either copied by DirectDraw (colour-keyed, or tinted through
// the scratch texture), or stretched into the scratch texture and mixed by a blend kernel.

#include <cstdint>

#include "blend/BlendInputs.h"
#include "blend/PixelPacking.h"
#include "diagnostics/ModuleLogger.h"
#include "platform/SurfaceLock.h"
#include "renderer/CDD7Render.h"
#include "renderer/QuadObserver.h"
#include "renderer/SafeTruncate.h"
#include "texture/CDD7Texture.h"

extern "C" {
ZelUISystem::QuadObserver* dd7rQuadObserver = nullptr;
}

namespace ZelUISystem {

namespace {

const char* const kBlendStretchFailed = "with alpha blend strecth blt source surface error";
const char* const kCopyStretchFailed = "with out alpha blend strecth blt source surface error";
// A kernel walks both surfaces with the source's pixel size: surfaces of two layouts are never
// blended (reported once per renderer, as DirectDraw reports blits between such surfaces).
const char* const kLayoutsDiffer = "with alpha blend source and destination pixel formats differ";

RECT toIntegerRect(const FloatRect& rect) {
    return RECT{truncateToInt32(rect.left), truncateToInt32(rect.top), truncateToInt32(rect.right),
                truncateToInt32(rect.bottom)};
}

std::int64_t widthOf(const RECT& rect) { return std::int64_t{rect.right} - rect.left; }
std::int64_t heightOf(const RECT& rect) { return std::int64_t{rect.bottom} - rect.top; }

// The floor of the mean of the four corners, channel by channel.
QuadColour averageColour(const CornerColours& colours) {
    std::uint32_t sums[4] = {0, 0, 0, 0};
    for (std::uint32_t colour : colours.colour)
        for (int channel = 0; channel < 4; ++channel) sums[channel] += (colour >> (24 - 8 * channel)) & 0xFF;
    return QuadColour{sums[0] >> 2, sums[1] >> 2, sums[2] >> 2, sums[3] >> 2};
}

bool isWhite(const QuadColour& colour) { return colour.r == 255 && colour.g == 255 && colour.b == 255; }

bool needsStretch(const RECT& dest, const RECT& source) {
    return widthOf(dest) != widthOf(source) || heightOf(dest) != heightOf(source);
}

IDirectDrawSurface7* surfaceOf(const CDD7Texture* texture) {
    return texture == nullptr ? nullptr : texture->surface();
}

DDBLTFX emptyBltFx() {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    return fx;
}

// Gives the scratch texture the source's layout and source-blit key, so that the scratch copy
// of the source is keyed exactly as the source would be.
void adoptLayoutAndKey(CDD7Texture& scratch, const CDD7Texture& source) {
    scratch.setRGBMode(source.rgbMode());
    DDCOLORKEY key{0, 0};
    source.surface()->GetColorKey(DDCKEY_SRCBLT, &key);
    scratch.surface()->SetColorKey(DDCKEY_SRCBLT, &key);
}

// Copies the scratch texture's rectangle at `dest` onto the destination, keyed.
void presentKeyedFromScratch(IDirectDrawSurface7* destination, CDD7Texture& scratch, RECT dest) {
    destination->BltFast(static_cast<DWORD>(dest.left), static_cast<DWORD>(dest.top),
                         scratch.surface(), &dest, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
}

struct TintValues {
    DWORD fill;
    DWORD whiteKey;
};

bool tintValuesFor(RGBMode mode, const QuadColour& c, TintValues& out) {
    switch (mode) {
        case DDS_RGBMODE_555:
            out = {blend::pack555(c.r, c.g, c.b), 0x7FFF};
            return true;
        case DDS_RGBMODE_565:
            out = {blend::pack565(c.r, c.g, c.b), 0xFFFF};
            return true;
        case DDS_RGBMODE_24:
            out = {c.r << 16 | c.g << 8 | c.b, 0xFFFFFF};
            return true;
        case DDS_RGBMODE_32:
            // DirectDraw compares a key with the colour bits of a pixel only, never its top
            // byte, so white is keyed by its 24 colour bits.
            out = {0xFF000000u | c.r << 16 | c.g << 8 | c.b, 0x00FFFFFFu};
            return true;
        default:
            return false;
    }
}

constexpr QuadOutcome skipped(QuadSkip why) { return QuadOutcome{QuadPath::Skipped, why, false}; }
constexpr QuadOutcome drawnBy(QuadPath path) { return QuadOutcome{path, QuadSkip::None, false}; }

// Whether drawing got as far as the texture's surface (a failed rebuild throws before that, and
// is told as skipped without a reason).
bool reachedTheSurface(const QuadOutcome& outcome) {
    if (outcome.path != QuadPath::Skipped) return true;
    switch (outcome.skip) {
        case QuadSkip::None:
        case QuadSkip::ClippedAway:
        case QuadSkip::NoDestination:
        case QuadSkip::NoTexture:
        case QuadSkip::NoSurface:
        case QuadSkip::LostSurface:
            return false;
        default:
            return true;
    }
}

bool ranAKernel(const QuadOutcome& outcome) {
    return outcome.path == QuadPath::Blended || outcome.path == QuadPath::StretchedBlended;
}

// What an observer hears of one quad: the quad, and what drawing made of it, worked out again
// from the quad only when an observer is set.
QuadObservation observationOf(IDirectDrawSurface7* destination, const QuadRecord& quad,
                              std::int32_t blendMode, const QuadOutcome& outcome) {
    QuadObservation observation;
    observation.texture = quad.texture;
    observation.hostDestRect = quad.destRect;
    observation.hostSourceRect = quad.sourceRect;
    observation.z = quad.z;
    observation.corners = quad.colours;
    observation.destination = destination;
    observation.destRect = toIntegerRect(quad.destRect);
    observation.sourceRect = toIntegerRect(quad.sourceRect);
    const QuadColour colour = averageColour(quad.colours);
    observation.alpha = blendMode == 0 ? 255 : colour.a;
    observation.red = colour.r;
    observation.green = colour.g;
    observation.blue = colour.b;
    if (reachedTheSurface(outcome)) {
        const auto* texture = static_cast<const CDD7Texture*>(quad.texture);
        observation.textureSurface = texture->surface();
        observation.textureMode = texture->rgbMode();
        observation.textureHasAlpha = texture->hasAlpha();
        observation.textureInMemory = texture->isInMemory();
        if (ranAKernel(outcome)) {
            observation.whiteKernel = isWhite(colour);
            observation.kernelMode = texture->rgbMode();
        }
    }
    observation.tintFellBack = outcome.tintFellBack;
    observation.path = outcome.path;
    observation.skip = outcome.skip;
    return observation;
}

// Tells the observer, when one is set, what became of the quad.
void observeQuad(IDirectDrawSurface7* destination, const QuadRecord& quad, std::int32_t blendMode,
                 const QuadOutcome& outcome) noexcept {
    if (dd7rQuadObserver != nullptr)
        dd7rQuadObserver->quadDrawn(observationOf(destination, quad, blendMode, outcome));
}

}  // namespace

// White quads are mixed by the operation the blend mode names (1: half, 2: alpha), coloured
// ones by the colour-modulated one; which implementation runs depends on the layout and the
// processor only, so all of it is decided here, once.
void CDD7Render::selectKernels() {
    const blend::SimdLevel level = blend::kernelLevel();
    colouredKernels_ = blend::selectForEveryLayout(blend::BlendOperation::ColourModulated, level);
    const blend::BlendOperation white =
        blendMode == 1 ? blend::BlendOperation::HalfLanes : blend::BlendOperation::Alpha;
    whiteKernels_ = blend::selectForEveryLayout(white, level);
}

// Runs the quad's kernel over the two locked rectangles, unless they do not share the layout
// the kernel would walk them with: then nothing is touched.
QuadOutcome CDD7Render::runKernel(const DDSURFACEDESC2& source, const DDSURFACEDESC2& destination,
                                  const RECT& rect, const QuadColour& colour, RGBMode mode, QuadPath path) {
    blend::BlendInputs inputs;
    if (!blend::readBlendInputs(&source, &destination, &rect, mode, inputs)) return skipped(QuadSkip::OutsideSurface);
    if (!blend::lockedLayoutsAgree(source, destination, mode)) {
        if (!layoutMismatchReported_) reportDDError(kLayoutsDiffer, DDERR_INVALIDPIXELFORMAT);
        layoutMismatchReported_ = true;
        return skipped(QuadSkip::LayoutMismatch);
    }
    const blend::BlendCore kernel = (isWhite(colour) ? whiteKernels_ : colouredKernels_).forMode(mode);
    kernel(inputs.area, inputs.layout, {static_cast<int>(colour.a), colour.r, colour.g, colour.b});
    return drawnBy(path);
}

CDD7Texture* CDD7Render::usableScratch() const {
    return surfaceOf(scratchTexture_) != nullptr ? scratchTexture_ : nullptr;
}

void CDD7Render::drawQuad(IDirectDrawSurface7* destination, const QuadRecord& quad) {
    try {
        observeQuad(destination, quad, blendMode, paintQuad(destination, quad));
    } catch (...) {
        // A failed rebuild throws through drawing: the quad was skipped, for no reason of its own.
        observeQuad(destination, quad, blendMode, skipped(QuadSkip::None));
        throw;
    }
}

QuadOutcome CDD7Render::paintQuad(IDirectDrawSurface7* destination, const QuadRecord& quad) {
    RECT destRect = toIntegerRect(quad.destRect);
    RECT sourceRect = toIntegerRect(quad.sourceRect);
    QuadColour colour = averageColour(quad.colours);
    const std::uint32_t meanAlpha = colour.a;
    if (blendMode == 0) colour.a = 255;
    if (compositionSurface_ == nullptr) {
        RECT visible{};
        const RECT present = presentRectangle();
        IntersectRect(&visible, &destRect, &present);
        if (IsRectEmpty(&visible)) return skipped(QuadSkip::ClippedAway);
    }
    if (destination == nullptr) return skipped(QuadSkip::NoDestination);
    if (quad.texture == nullptr) return skipped(QuadSkip::NoTexture);
    auto* texture = static_cast<CDD7Texture*>(quad.texture);
    if (texture->surface() == nullptr) {
        texture->postD3DReset();
        if (texture->surface() == nullptr) return skipped(QuadSkip::NoSurface);
    }
    if (texture->surface()->IsLost() == DDERR_SURFACELOST && FAILED(texture->surface()->Restore()))
        return skipped(QuadSkip::LostSurface);

    if (meanAlpha == 0) return skipped(QuadSkip::Transparent);
    const bool stretch = needsStretch(destRect, sourceRect);
    const bool opaqueWhite = isWhite(colour) && colour.a == 255;
    if (blendMode != 0 && !opaqueWhite)
        return drawBlended(destination, destRect, *texture, sourceRect, colour, stretch);
    return drawCopied(destination, destRect, *texture, sourceRect, colour, stretch);
}

QuadOutcome CDD7Render::drawBlended(IDirectDrawSurface7* destination, RECT destRect,
                                    CDD7Texture& texture, RECT sourceRect, const QuadColour& colour,
                                    bool stretch) {
    CDD7Texture* source = &texture;
    CDD7Texture* scratch = usableScratch();
    if (stretch) {
        if (scratch == nullptr) return skipped(QuadSkip::NoScratch);
        const HRESULT result = scratch->surface()->Blt(&destRect, texture.surface(), &sourceRect,
                                                       DDBLT_WAIT, nullptr);
        if (FAILED(result)) {
            reportDDError(kBlendStretchFailed, result);
            return skipped(QuadSkip::StretchFailed);
        }
        scratch->setRGBMode(texture.rgbMode());
        source = scratch;
        sourceRect = destRect;
    }

    if (source->rgbMode() == DDS_RGBMODE_8) return copyEightBit(destination, destRect, *source, sourceRect);
    // Lock accepts an empty rectangle, but a kernel always processes at least one row.
    if (widthOf(destRect) <= 0 || heightOf(destRect) <= 0) return skipped(QuadSkip::EmptyRectangle);

    SurfaceLock destLock(destination, &destRect, LockRequest::PointerAndPitch);
    if (!destLock.locked()) return skipped(QuadSkip::LockFailed);
    SurfaceLock sourceLock(source->surface(), &sourceRect, LockRequest::PointerAndPitch);
    if (!sourceLock.locked()) return skipped(QuadSkip::LockFailed);
    const QuadOutcome outcome = runKernel(sourceLock.desc(), destLock.desc(), sourceRect, colour,
                                          source->rgbMode(),
                                          stretch ? QuadPath::StretchedBlended : QuadPath::Blended);
    destLock.unlock();
    sourceLock.unlock();
    return outcome;
}

// 8-bit surfaces are never blended, only copied: keyed through the scratch texture when they
// carry alpha, plain otherwise.
QuadOutcome CDD7Render::copyEightBit(IDirectDrawSurface7* destination, RECT destRect,
                                     CDD7Texture& source, RECT sourceRect) {
    if (!source.hasAlpha()) {
        destination->Blt(&destRect, source.surface(), &sourceRect, DDBLT_WAIT, nullptr);
        return drawnBy(QuadPath::EightBitCopied);
    }
    CDD7Texture* scratch = usableScratch();
    if (scratch == nullptr) return skipped(QuadSkip::NoScratch);
    scratch->surface()->Blt(&destRect, source.surface(), &sourceRect, DDBLT_WAIT, nullptr);
    adoptLayoutAndKey(*scratch, source);
    presentKeyedFromScratch(destination, *scratch, destRect);
    return drawnBy(QuadPath::EightBitKeyed);
}

QuadOutcome CDD7Render::drawCopied(IDirectDrawSurface7* destination, RECT destRect,
                                   CDD7Texture& texture, RECT sourceRect, const QuadColour& colour,
                                   bool stretch) {
    const bool tinted = texture.isInMemory() && !isWhite(colour);
    if (tinted && drawTinted(destination, destRect, texture, sourceRect, colour)) return drawnBy(QuadPath::Tinted);
    QuadOutcome outcome = copyUntinted(destination, destRect, texture, sourceRect, stretch);
    outcome.tintFellBack = tinted;
    return outcome;
}

QuadOutcome CDD7Render::copyUntinted(IDirectDrawSurface7* destination, RECT destRect,
                                     CDD7Texture& texture, RECT sourceRect, bool stretch) {

    IDirectDrawSurface7* source = texture.surface();
    const DWORD x = static_cast<DWORD>(destRect.left);
    const DWORD y = static_cast<DWORD>(destRect.top);
    if (texture.hasAlpha() && stretch) {
        CDD7Texture* scratch = usableScratch();
        if (scratch == nullptr) return skipped(QuadSkip::NoScratch);
        const HRESULT result =
            scratch->surface()->Blt(&destRect, source, &sourceRect, DDBLT_WAIT, nullptr);
        if (FAILED(result)) {
            reportDDError(kCopyStretchFailed, result);
            return skipped(QuadSkip::StretchFailed);
        }
        adoptLayoutAndKey(*scratch, texture);
        presentKeyedFromScratch(destination, *scratch, destRect);
        return drawnBy(QuadPath::KeyedStretched);
    }
    if (texture.hasAlpha()) {
        destination->BltFast(x, y, source, &sourceRect, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
        return drawnBy(QuadPath::KeyedCopy);
    }
    if (stretch) {
        destination->Blt(&destRect, source, &sourceRect, DDBLT_WAIT, nullptr);
        return drawnBy(QuadPath::Stretched);
    }
    destination->BltFast(x, y, source, &sourceRect, DDBLTFAST_WAIT);
    return drawnBy(QuadPath::Copied);
}

// The tint of host-filled textures: the rectangle is filled with the quad's colour in the
// scratch texture, the texture is copied over it with its white pixels transparent (so the
// colour shows through them), and the result is copied to the destination with black
// transparent. False when it could not be drawn, so the caller copies the quad untinted.
bool CDD7Render::drawTinted(IDirectDrawSurface7* destination, RECT destRect, CDD7Texture& texture,
                            RECT sourceRect, const QuadColour& colour) {
    TintValues tint{};
    CDD7Texture* scratch = usableScratch();
    if (scratch == nullptr || !tintValuesFor(texture.rgbMode(), colour, tint)) return false;
    DDBLTFX fx = emptyBltFx();
    fx.dwFillColor = tint.fill;
    fx.ddckSrcColorkey = DDCOLORKEY{tint.whiteKey, tint.whiteKey};
    IDirectDrawSurface7* canvas = scratch->surface();
    if (FAILED(canvas->Blt(&destRect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx))) return false;
    if (FAILED(canvas->Blt(&destRect, texture.surface(), &sourceRect, DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx)))
        return false;
    fx.ddckSrcColorkey = DDCOLORKEY{0, 0};
    RECT scratchRect = destRect;
    return SUCCEEDED(destination->Blt(&destRect, canvas, &scratchRect,
                                      DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx));
}

}  // namespace ZelUISystem
