// The quad queue and the render pass: quads collected in z order, drawn into the composition
// surface once (blend mode 0) or onto the target at every pass (blend modes 1 and 2).

#include "diagnostics/SlotPrologue.h"
#include "renderer/CDD7Render.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

void CDD7Render::submitQuad(FloatRect destRect, float z, Texture* texture, FloatRect sourceRect,
                            CornerColours colours, std::int32_t reserved) {
    DD7R_SLOT(submitQuad, destRect, z, texture, sourceRect, colours, reserved);
    // Only the host's textures of this renderer can be drawn (see hostTextureEntry).
    RegisteredTexture* const entry = texture != nullptr ? hostTextureEntry(texture) : nullptr;
    if (texture != nullptr && entry == nullptr) return;
    const QuadRecord quad{texture, destRect, z, sourceRect, colours};
    if (queueing_) {
        // Appended in submission order; the pass orders the queue by z.
        quadQueue_.push(quad);
        if (entry != nullptr) countQueuedQuad(*entry);
        return;
    }
    makeMissingOwnSurfacesBeforeDrawing();
    drawQuad(targetSurface_, quad);
}

void CDD7Render::renderQueue() {
    DD7R_SLOT(renderQueue);
    makeMissingOwnSurfacesBeforeDrawing();
    dropReleasedQuads();
    if (compositionSurface_ != nullptr) {
        IDirectDrawSurface7* canvas = compositionSurface_->surface();
        drawQueue(canvas);
        emptyQueue();
        if (targetSurface_ != nullptr && canvas != nullptr) {
            RECT source = presentRectangle();
            targetSurface_->BltFast(static_cast<DWORD>(presentRect.left),
                                    static_cast<DWORD>(presentRect.top), canvas, &source,
                                    DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT);
        }
        return;
    }
    if (targetSurface_ == nullptr) return;
    drawQueue(targetSurface_);
}

void CDD7Render::discardQueue() {
    DD7R_SLOT(discardQueue);
    emptyQueue();
    if (compositionSurface_ != nullptr) clearCompositionSurface();
}

void CDD7Render::setQueueing(bool queueing) {
    DD7R_SLOT(setQueueing, queueing);
    queueing_ = queueing;
}

bool CDD7Render::isQueueing() const { return queueing_; }

// Each quad is drawn from a copy, and the count is read again at every step: nothing the
// drawing leads to can leave the loop reading a quad that is gone.
void CDD7Render::drawQueue(IDirectDrawSurface7* destination) {
    quadQueue_.putInDrawingOrder();
    for (std::size_t position = 0; position < quadQueue_.orderedCount(); ++position)
        drawQuad(destination, quadQueue_.inDrawingOrder(position));
}

void CDD7Render::countQueuedQuad(RegisteredTexture& entry) {
    if (entry.queueGeneration != queueGeneration_) {
        entry.queueGeneration = queueGeneration_;
        entry.queued = 0;
    }
    ++entry.queued;
}

// The quads of textures released since they were queued leave the queue, and with the last of
// them each such texture's entry: its address may then name a new texture. Linear in the
// queue, and only after such a release.
void CDD7Render::dropReleasedQuads() {
    if (releasedQuads_ == 0) return;
    quadQueue_.removeIf([this](const QuadRecord& quad) {
        RegisteredTexture* entry = textureIndex_.find(quad.texture);
        if (entry == nullptr || !entry->released) return false;
        if (--entry->queued == 0) textureIndex_.erase(quad.texture);
        return true;
    });
    releasedQuads_ = 0;
}

// A new generation of the queue: every texture's count of queued quads is void at once. When
// the numbers come round again (after 2^32 clears), every count is voided by hand instead.
void CDD7Render::emptyQueue() {
    dropReleasedQuads();
    quadQueue_.clear();
    if (++queueGeneration_ != 0) return;
    textureIndex_.forEachValue([](RegisteredTexture& entry) { entry.queueGeneration = 0; });
    queueGeneration_ = 1;
}

}  // namespace ZelUISystem
