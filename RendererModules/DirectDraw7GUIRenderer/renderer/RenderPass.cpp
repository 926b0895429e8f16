// The quad queue and the render pass: quads collected in z order, drawn into the composition
// surface once (blend mode 0) or onto the target at every pass (blend modes 1 and 2).

#include <algorithm>
#include <iterator>

#include "diagnostics/SlotRecorder.h"
#include "platform/HostExceptions.h"
#include "renderer/CDD7Render.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

void CDD7Render::submitQuad(FloatRect destRect, float z, Texture* texture, FloatRect sourceRect,
                            CornerColours colours, std::int32_t reserved) {
    DD7R_HOST_BOUNDARY(RuntimeError, CDD7Render::submitQuad(destRect, z, texture, sourceRect, colours, reserved));
    DD7R_CAPTURE_HOOK(submitQuad(this, destRect, z, texture, sourceRect, colours, reserved));
    // Only the host's textures of this renderer can be drawn (see isHostTexture).
    if (texture != nullptr && !isHostTexture(texture)) return;
    const QuadRecord quad{texture, destRect, z, sourceRect, colours};
    if (queueing_) {
        // multimap inserts after every equal key, so equal z keeps submission order.
        quadQueue_.emplace(z, quad);
        return;
    }
    makeMissingOwnSurfacesBeforeDrawing();
    drawQuad(targetSurface_, quad);
}

void CDD7Render::renderQueue() {
    DD7R_HOST_BOUNDARY(RuntimeError, CDD7Render::renderQueue());
    DD7R_CAPTURE_HOOK(renderQueue(this));
    makeMissingOwnSurfacesBeforeDrawing();
    if (compositionSurface_ != nullptr) {
        IDirectDrawSurface7* canvas = compositionSurface_->surface();
        for (const auto& entry : quadQueue_) drawQuad(canvas, entry.second);
        quadQueue_.clear();
        if (targetSurface_ != nullptr && canvas != nullptr) {
            RECT source = presentRect;
            targetSurface_->BltFast(static_cast<DWORD>(presentRect.left),
                                    static_cast<DWORD>(presentRect.top), canvas, &source,
                                    DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT);
        }
        return;
    }
    if (targetSurface_ == nullptr) return;
    for (const auto& entry : quadQueue_) drawQuad(targetSurface_, entry.second);
}

void CDD7Render::discardQueue() {
    DD7R_CAPTURE_HOOK(discardQueue(this));
    quadQueue_.clear();
    if (compositionSurface_ != nullptr) clearCompositionSurface();
}

void CDD7Render::setQueueing(bool queueing) {
    DD7R_CAPTURE_HOOK(setQueueing(this, queueing));
    queueing_ = queueing;
}

bool CDD7Render::isQueueing() const { return queueing_; }

void CDD7Render::dropQueuedQuadsOf(const Texture* texture) {
    for (auto it = quadQueue_.begin(); it != quadQueue_.end();) {
        if (it->second.texture == texture)
            it = quadQueue_.erase(it);
        else
            ++it;
    }
}

}  // namespace ZelUISystem
