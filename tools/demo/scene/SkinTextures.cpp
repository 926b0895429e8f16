#include "scene/SkinTextures.h"

#include "image/Image.h"
#include "skin/SkinFiles.h"
#include "skin/SkinImages.h"

#include <cstdint>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace dd7rdemo {

using ZelUISystem::Renderer;
using ZelUISystem::Texture;

namespace {

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Texture* fromFile(Renderer& renderer, const std::string& directory, const char* name) {
    return renderer.createTexture(name, directory.c_str());
}

Texture* fromFileBytes(Renderer& renderer, const std::string& directory, const char* name) {
    const std::vector<std::uint8_t> bytes = readWholeFile(directory + "/" + name);
    return renderer.createTexture(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// The host keeps supplying these pixels: with the in-memory flag the texture keeps a copy to
// rebuild itself after a device reset, and the renderer tints it with the quad colour.
Texture* fromPixels(Renderer& renderer, const Image& image) {
    Texture* texture = renderer.createTexture();
    texture->inMemory = true;
    try {
        texture->loadFromMemory(image.pixels().data(), image.width(), image.height(),
                                ZelUISystem::TEXFMT_RGBA);
    } catch (...) {
        renderer.releaseTexture(texture);
        throw;
    }
    return texture;
}

void releaseAll(Renderer& renderer, SkinTextures& skin) {
    for (Texture** texture : {&skin.background, &skin.panel, &skin.titleBar, &skin.icons,
                              &skin.font, &skin.logo, &skin.buttonUp, &skin.buttonDown,
                              &skin.whiteBlock}) {
        renderer.releaseTexture(*texture);
        *texture = nullptr;
    }
}

}  // namespace

bool loadSkinTextures(Renderer& renderer, const std::string& skinDirectory, SkinTextures& skin,
                      std::string& error) {
    try {
        skin.background = fromFile(renderer, skinDirectory, kBackgroundFile);
        skin.panel = fromFile(renderer, skinDirectory, kPanelFile);
        skin.titleBar = fromFile(renderer, skinDirectory, kTitleBarFile);
        skin.icons = fromFile(renderer, skinDirectory, kIconsFile);
        skin.font = fromFile(renderer, skinDirectory, kFontFile);
        skin.logo = fromFileBytes(renderer, skinDirectory, kLogoFile);
        skin.buttonUp = fromPixels(renderer, makeButtonFace(false));
        skin.buttonDown = fromPixels(renderer, makeButtonFace(true));
        skin.whiteBlock = fromPixels(renderer, makeWhiteBlock());
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
    } catch (...) {
        error = "unknown failure while loading the skin";
    }
    releaseAll(renderer, skin);
    return false;
}

}  // namespace dd7rdemo
