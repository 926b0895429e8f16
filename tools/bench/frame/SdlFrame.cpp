#include "SdlFrame.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>


namespace framebench {

namespace {

std::runtime_error sdlError(const std::string& what) {
    return std::runtime_error(what + ": " + SDL_GetError());
}

// Nothing to blend when the quad is opaque and so is every texel: a plain copy, as a GUI
// toolkit would draw a panel.
SDL_BlendMode blendModeFor(const SceneQuad& quad, const SceneTexture& texture) {
    const bool opaque = (quad.argb >> 24) == 0xFF && !hasTransparentTexels(texture);
    return opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND;
}

}  // namespace

SdlFrame::SdlFrame(const Scene& scene) : scene_(scene) {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(scene.width),
                                              static_cast<int>(scene.height), 32, SDL_PIXELFORMAT_RGB888);
    if (surface_ == nullptr) throw sdlError("SDL_CreateRGBSurfaceWithFormat");
    renderer_ = SDL_CreateSoftwareRenderer(surface_);
    if (renderer_ == nullptr) {
        SDL_FreeSurface(surface_);
        throw sdlError("SDL_CreateSoftwareRenderer");
    }
    try {
        createTextures();
        prepareQuads();
    } catch (...) {
        for (auto& entry : textures_) SDL_DestroyTexture(entry.second);
        SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(surface_);
        throw;
    }
}

SdlFrame::~SdlFrame() {
    for (auto& entry : textures_) SDL_DestroyTexture(entry.second);
    SDL_DestroyRenderer(renderer_);
    SDL_FreeSurface(surface_);
}

// ARGB8888 is the 32-bit word 0xAARRGGBB, the texels' own layout.
void SdlFrame::createTextures() {
    for (const auto& [name, texture] : *scene_.textures) {
        SDL_Texture* created = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                                 static_cast<int>(texture.width), static_cast<int>(texture.height));
        if (created == nullptr) throw sdlError("SDL_CreateTexture " + name);
        textures_.emplace_back(name, created);
        if (SDL_UpdateTexture(created, nullptr, texture.texels.data(), static_cast<int>(texture.width * 4)) != 0)
            throw sdlError("SDL_UpdateTexture " + name);
    }
}

void SdlFrame::prepareQuads() {
    for (const SceneQuad& quad : scene_.quads) {
        const auto found = std::find_if(textures_.begin(), textures_.end(),
                                        [&](const auto& entry) { return entry.first == quad.texture; });
        if (found == textures_.end()) throw std::runtime_error("no SDL texture named " + quad.texture);
        const SceneTexture& texels = scene_.textures->at(quad.texture);
        quads_.push_back(QuadDraw{found->second,
                                  blendModeFor(quad, texels),
                                  static_cast<unsigned char>(quad.argb >> 16),
                                  static_cast<unsigned char>(quad.argb >> 8),
                                  static_cast<unsigned char>(quad.argb),
                                  static_cast<unsigned char>(quad.argb >> 24),
                                  {quad.source.x, quad.source.y, quad.source.width, quad.source.height},
                                  {quad.destination.x, quad.destination.y, quad.destination.width,
                                   quad.destination.height}});
    }
}

void SdlFrame::drawFrame() {
    SDL_SetRenderDrawColor(renderer_, (kClearColour >> 16) & 0xFF, (kClearColour >> 8) & 0xFF,
                           kClearColour & 0xFF, 0xFF);
    SDL_RenderClear(renderer_);
    for (const QuadDraw& quad : quads_) {
        SDL_SetTextureBlendMode(quad.texture, static_cast<SDL_BlendMode>(quad.blendMode));
        SDL_SetTextureColorMod(quad.texture, quad.r, quad.g, quad.b);
        SDL_SetTextureAlphaMod(quad.texture, quad.a);
        const SDL_Rect source{quad.source[0], quad.source[1], quad.source[2], quad.source[3]};
        const SDL_Rect destination{quad.destination[0], quad.destination[1], quad.destination[2],
                                   quad.destination[3]};
        SDL_RenderCopy(renderer_, quad.texture, &source, &destination);
    }
    SDL_RenderFlush(renderer_);
}

FramePixels SdlFrame::readTarget() const {
    FramePixels frame;
    frame.width = scene_.width;
    frame.height = scene_.height;
    frame.xrgb.resize(std::size_t{frame.width} * frame.height);
    const auto* row = static_cast<const std::uint8_t*>(surface_->pixels);
    for (std::uint32_t y = 0; y < frame.height; ++y, row += surface_->pitch) {
        std::uint32_t* out = frame.xrgb.data() + std::size_t{y} * frame.width;
        std::memcpy(out, row, std::size_t{frame.width} * 4);
        for (std::uint32_t x = 0; x < frame.width; ++x) out[x] &= 0x00FFFFFFu;
    }
    return frame;
}

}  // namespace framebench
