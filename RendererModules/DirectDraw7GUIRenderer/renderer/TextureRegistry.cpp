// The renderer's texture list: every texture it creates lives here until it is released.

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "module/capture/CaptureHooks.h"
#include "renderer/CDD7Render.h"
#include "renderer/SafeTruncate.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

namespace {

const char* const kSizedPrefix = "CDD7Render::createTexture failed form sized texture : ";
const char* const kFileDataPrefix = "CDD7Render::createTexture failed from file data : ";
const char* const kFilePrefix = "CDD7Render::createTexture failed from file : ";

std::string textOrEmpty(const char* text) { return text == nullptr ? std::string() : text; }

// Runs one loading operation on a new texture. A failure destroys the texture and is raised
// again with the overload's prefix and the reason in parentheses.
template <typename Load>
std::unique_ptr<CDD7Texture> loadNewTexture(CDD7Render* owner, const std::string& failureText,
                                            Load load) {
    auto texture = std::make_unique<CDD7Texture>(owner);
    try {
        load(*texture);
    } catch (const std::exception& error) {
        texture.reset();
        throw std::runtime_error(failureText + "(" + error.what() + ")");
    } catch (...) {
        texture.reset();
        throw std::runtime_error(failureText + "(Unknown error!)");
    }
    return texture;
}

}  // namespace

CDD7Texture* CDD7Render::adoptTexture(std::unique_ptr<CDD7Texture> texture) {
    textureList_.push_back(texture.get());
    return texture.release();
}

CDD7Texture* CDD7Render::appendNewTexture() {
    return adoptTexture(std::make_unique<CDD7Texture>(this));
}

Texture* CDD7Render::createTexture() {
    DD7R_CAPTURE_HOOK(createTexture(this));
    return appendNewTexture();
}

Texture* CDD7Render::createTexture(float size) {
    DD7R_CAPTURE_HOOK(createTexture(this, size));
    const std::uint32_t sizeInPixels = truncateToUint32(size);
    return adoptTexture(loadNewTexture(this, kSizedPrefix, [sizeInPixels](CDD7Texture& texture) {
        texture.PrepareSized(sizeInPixels);
    }));
}

Texture* CDD7Render::createTexture(const std::uint8_t* fileData, std::uint32_t size) {
    DD7R_CAPTURE_HOOK(createTexture(this, fileData, size));
    return adoptTexture(loadNewTexture(this, kFileDataPrefix, [=](CDD7Texture& texture) {
        texture.loadFromFileData(fileData, size);
    }));
}

Texture* CDD7Render::createTexture(const char* fileName, const char* directory) {
    DD7R_CAPTURE_HOOK(createTexture(this, fileName, directory));
    const std::string failureText = kFilePrefix + textOrEmpty(directory) + textOrEmpty(fileName);
    return adoptTexture(loadNewTexture(this, failureText, [=](CDD7Texture& texture) {
        texture.loadFromFile(fileName, directory);
    }));
}

bool CDD7Render::ownsTexture(const Texture* texture) const {
    return std::find(textureList_.begin(), textureList_.end(), texture) != textureList_.end();
}

void CDD7Render::releaseTexture(Texture* texture) {
    DD7R_CAPTURE_HOOK(releaseTexture(this, texture));
    // A pointer that is not in the list is either destroyed already or not ours: destroying it
    // would be a double free, so it is left alone.
    if (texture == nullptr || !ownsTexture(texture)) return;
    textureList_.remove(static_cast<CDD7Texture*>(texture));
    dropQueuedQuadsOf(texture);
    if (texture == scratchTexture_) scratchTexture_ = nullptr;
    if (texture == compositionSurface_) compositionSurface_ = nullptr;
    delete texture;
}

void CDD7Render::releaseAllTextures() {
    DD7R_CAPTURE_HOOK(releaseAllTextures(this));
    const bool hadOwnTextures = scratchTexture_ != nullptr;
    while (!textureList_.empty()) releaseTexture(textureList_.front());
    if (!hadOwnTextures) return;
    // The renderer's own two textures went with the others; it keeps drawing and presenting
    // with new ones. If they cannot be made now (no DirectDraw object or cooperative level),
    // the renderer waits for the next reset notification to make them.
    try {
        createOwnedTextures();
        if (usableScratch() == nullptr) releaseOwnedTextures();
    } catch (const std::exception&) {
        releaseOwnedTextures();
    }
}

}  // namespace ZelUISystem
