#include "Dd7rFrame.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/RendererDevice.h"
#include "renderer/CDD7Render.h"
#include "texture/CDD7Texture.h"

namespace framebench {

using namespace ZelUISystem;

// The host side of the renderer: the software DirectDraw, the screen size, the blend mode,
// system-memory surfaces in the display's own layout.
class BenchDevice final : public RendererDevice {
public:
    BenchDevice(IDirectDraw7* directDraw, std::uint32_t width, std::uint32_t height, int blendMode)
        : directDraw_(directDraw), width_(width), height_(height), blendMode_(blendMode) {}
    ~BenchDevice() = default;

    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = static_cast<float>(width_);
        *height = static_cast<float>(height_);
    }
    int queryBlendMode() override { return blendMode_; }
    int querySurfaceMemory() override { return 0; }
    int queryTexturePixelFormat() override { return 0; }

private:
    IDirectDraw7* directDraw_;
    std::uint32_t width_;
    std::uint32_t height_;
    int blendMode_;
};

namespace {

// R, G, B, A bytes: the upload turns alpha 0 into the colour key 0 and keys the texture.
std::vector<std::uint8_t> toRgbaBytes(const SceneTexture& texture) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(texture.texels.size() * 4);
    for (std::uint32_t texel : texture.texels)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(texel >> 16), static_cast<std::uint8_t>(texel >> 8),
                                   static_cast<std::uint8_t>(texel), static_cast<std::uint8_t>(texel >> 24)});
    return bytes;
}

FloatRect toFloatRect(const PixelRect& rect) {
    return FloatRect{static_cast<float>(rect.x), static_cast<float>(rect.y),
                     static_cast<float>(rect.x + rect.width), static_cast<float>(rect.y + rect.height)};
}

}  // namespace

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

// Keyed textures go up as RGBA so that their transparent texels become the key; the opaque
// ones as BGRA, the texels' own byte order (black would turn grey in BGRA, but they have none).
void Dd7rFrame::uploadTextures() {
    for (const auto& [name, texture] : *scene_.textures) {
        Texture* uploaded = renderer_->createTexture();
        if (hasTransparentTexels(texture))
            uploaded->loadFromMemory(toRgbaBytes(texture).data(), texture.width, texture.height, TEXFMT_RGBA);
        else
            uploaded->loadFromMemory(texture.texels.data(), texture.width, texture.height, TEXFMT_BGRA);
        if (static_cast<CDD7Texture*>(uploaded)->surface() == nullptr)
            throw std::runtime_error("texture " + name + " has no surface after its upload");
        textures_[name] = uploaded;
    }
}

void Dd7rFrame::resolveQuadTextures() {
    quadTextures_.clear();
    for (const SceneQuad& quad : scene_.quads) quadTextures_.push_back(textures_.at(quad.texture));
}

// The first quad of the list gets the largest z, so it is drawn first.
void Dd7rFrame::submitScene() {
    renderer_->discardQueue();
    const float count = static_cast<float>(scene_.quads.size());
    for (std::size_t i = 0; i < scene_.quads.size(); ++i) {
        const SceneQuad& quad = scene_.quads[i];
        renderer_->submitQuad(toFloatRect(quad.destination), count - static_cast<float>(i),
                              quadTextures_[i], toFloatRect(quad.source),
                              CornerColours{{quad.argb, quad.argb, quad.argb, quad.argb}}, 0);
    }
}

void Dd7rFrame::renderPass() { renderer_->renderQueue(); }

void Dd7rFrame::drawFrame() {
    clearTarget();
    submitScene();
    renderPass();
}

}  // namespace framebench
