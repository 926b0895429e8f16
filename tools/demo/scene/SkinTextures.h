#pragma once
// The skin as renderer textures, made the three ways a host makes them: image files by name
// and folder, an image file already held in memory, and raw pixels that the host keeps
// supplying itself (in-memory textures, which the renderer tints with the quad colour).

#include "interface/Renderer.h"
#include "interface/Texture.h"

#include <string>

namespace dd7rdemo {

struct SkinTextures {
    ZelUISystem::Texture* background = nullptr;  // file (BMP)
    ZelUISystem::Texture* panel = nullptr;       // file (PNG with alpha)
    ZelUISystem::Texture* titleBar = nullptr;    // file
    ZelUISystem::Texture* icons = nullptr;       // file
    ZelUISystem::Texture* font = nullptr;        // file
    ZelUISystem::Texture* logo = nullptr;        // file bytes held in memory
    ZelUISystem::Texture* buttonUp = nullptr;    // in-memory pixels, tinted
    ZelUISystem::Texture* buttonDown = nullptr;  // in-memory pixels, tinted
    ZelUISystem::Texture* whiteBlock = nullptr;  // in-memory pixels, tinted into solid bars
};

// Creates every texture; on failure releases what was made and returns false with `error`
// holding the renderer's text.
bool loadSkinTextures(ZelUISystem::Renderer& renderer, const std::string& skinDirectory,
                      SkinTextures& skin, std::string& error);

}  // namespace dd7rdemo
