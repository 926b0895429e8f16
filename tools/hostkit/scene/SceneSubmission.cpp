#include "scene/SceneSubmission.h"

#include <cstdint>

#include "interface/Renderer.h"
#include "interface/Texture.h"

namespace framebench {

using namespace ZelUISystem;

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

// Keyed textures go up as RGBA so that their transparent texels become the key; the opaque
// ones as BGRA, the texels' own byte order (black would turn grey in BGRA, but they have none).
std::map<std::string, Texture*> uploadSceneTextures(Renderer& renderer, const Scene& scene) {
    std::map<std::string, Texture*> uploaded;
    for (const auto& [name, texture] : *scene.textures) {
        Texture* created = renderer.createTexture();
        uploaded[name] = created;
        if (hasTransparentTexels(texture))
            created->loadFromMemory(toRgbaBytes(texture).data(), texture.width, texture.height, TEXFMT_RGBA);
        else
            created->loadFromMemory(texture.texels.data(), texture.width, texture.height, TEXFMT_BGRA);
    }
    return uploaded;
}

std::vector<Texture*> quadTexturesOf(const Scene& scene, const std::map<std::string, Texture*>& textures) {
    std::vector<Texture*> quadTextures;
    quadTextures.reserve(scene.quads.size());
    for (const SceneQuad& quad : scene.quads) quadTextures.push_back(textures.at(quad.texture));
    return quadTextures;
}

void submitScene(Renderer& renderer, const Scene& scene, const std::vector<Texture*>& quadTextures) {
    renderer.discardQueue();
    submitQuads(renderer, scene, quadTextures);
}

void submitQuads(Renderer& renderer, const Scene& scene, const std::vector<Texture*>& quadTextures) {
    const float count = static_cast<float>(scene.quads.size());
    for (std::size_t i = 0; i < scene.quads.size(); ++i) {
        const SceneQuad& quad = scene.quads[i];
        renderer.submitQuad(toFloatRect(quad.destination), count - static_cast<float>(i), quadTextures[i],
                            toFloatRect(quad.source), CornerColours{{quad.argb, quad.argb, quad.argb, quad.argb}}, 0);
    }
}

}  // namespace framebench
