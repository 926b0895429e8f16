#include "Dd7rFrame.h"

#include <stdexcept>

#include "screen/BenchDevice.h"
#include "scene/SceneSubmission.h"

#include "interface/RendererDevice.h"
#include "core/ModuleCore.h"

namespace framebench {

using namespace ZelUISystem;

Dd7rFrame::Dd7rFrame(const Scene& scene, int blendMode)
    : scene_(scene), screen_(scene.width, scene.height) {
    device_ = std::make_unique<BenchDevice>(screen_.directDraw(), scene.width, scene.height, blendMode);
    renderer_ = std::make_unique<CDD7Render>(device_.get(), 0, false);
    renderer_->setTargetSurface(screen_.target());
    uploadTextures();
    resolveQuadTextures();
}

Dd7rFrame::~Dd7rFrame() = default;

int Dd7rFrame::blendMode() const { return renderer_->currentBlendMode(); }

// A texture without a surface after its upload would make every frame draw nothing.
void Dd7rFrame::uploadTextures() {
    textures_ = uploadSceneTextures(*renderer_, scene_);
    for (const auto& [name, texture] : textures_)
        if (static_cast<CDD7Texture*>(texture)->surface() == nullptr)
            throw std::runtime_error("texture " + name + " has no surface after its upload");
}

void Dd7rFrame::resolveQuadTextures() { quadTextures_ = quadTexturesOf(scene_, textures_); }

void Dd7rFrame::submitScene() { framebench::submitScene(*renderer_, scene_, quadTextures_); }

void Dd7rFrame::renderPass() { renderer_->renderQueue(); }

void Dd7rFrame::drawFrame() {
    clearTarget();
    submitScene();
    renderPass();
}

}  // namespace framebench
