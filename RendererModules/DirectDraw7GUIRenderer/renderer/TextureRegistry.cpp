// The renderer's textures: every texture it creates is kept here, in creation order and by
// address, until it is released.

#include <exception>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "diagnostics/SlotPrologue.h"
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
    auto texture = std::make_unique<CDD7Texture>(owner, owner->textureDevice());
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
    // The address of a texture released while quads of it were queued: those quads leave the
    // queue before the address names the new texture.
    if (textureIndex_.find(texture.get()) != nullptr) dropReleasedQuads();
    textureList_.push_back(texture.get());
    try {
        RegisteredTexture entry;
        entry.position = std::prev(textureList_.end());
        textureIndex_.insert(texture.get(), entry);
    } catch (...) {
        textureList_.pop_back();
        throw;
    }
    return texture.release();
}

CDD7Texture* CDD7Render::appendNewTexture() {
    return adoptTexture(std::make_unique<CDD7Texture>(this, device_));
}

Texture* CDD7Render::createTexture() {
    DD7R_SLOT(createTexture);
    return appendNewTexture();
}

Texture* CDD7Render::createTexture(float size) {
    DD7R_SLOT(createSizedTexture, size);
    const std::uint32_t sizeInPixels = truncateToUint32(size);
    return adoptTexture(loadNewTexture(this, kSizedPrefix, [sizeInPixels](CDD7Texture& texture) {
        texture.PrepareSized(sizeInPixels);
    }));
}

Texture* CDD7Render::createTexture(const std::uint8_t* fileData, std::uint32_t size) {
    DD7R_SLOT(createTextureFromFileData, fileData, size);
    return adoptTexture(loadNewTexture(this, kFileDataPrefix, [=](CDD7Texture& texture) {
        texture.loadFromFileData(fileData, size);
    }));
}

Texture* CDD7Render::createTexture(const char* fileName, const char* directory) {
    DD7R_SLOT(createTextureFromFile, fileName, directory);
    const std::string failureText = kFilePrefix + textOrEmpty(directory) + textOrEmpty(fileName);
    return adoptTexture(loadNewTexture(this, failureText, [=](CDD7Texture& texture) {
        texture.loadFromFile(fileName, directory);
    }));
}

// A texture the host may name: one this renderer made for it and has not destroyed. Any other
// pointer may be dangling, another renderer's or the host's own, and the scratch texture and the
// composition surface are never the host's; the address is looked up, nothing is read through
// the pointer.
CDD7Render::RegisteredTexture* CDD7Render::hostTextureEntry(const Texture* texture) {
    if (texture == nullptr || texture == scratchTexture_ || texture == compositionSurface_) return nullptr;
    RegisteredTexture* entry = textureIndex_.find(texture);
    return entry != nullptr && !entry->released ? entry : nullptr;
}

void CDD7Render::releaseTexture(Texture* texture) {
    DD7R_SLOT(releaseTexture, texture);
    if (hostTextureEntry(texture) != nullptr) destroyTexture(static_cast<CDD7Texture*>(texture));
}

// Quads of the texture still queued stay in the queue, out of reach, until the next pass, clear
// or reuse of the address removes them (dropReleasedQuads); its entry stays until then, marked.
void CDD7Render::destroyTexture(CDD7Texture* texture) {
    if (RegisteredTexture* entry = textureIndex_.find(texture)) {
        textureList_.erase(entry->position);
        const std::size_t queued = entry->queueGeneration == queueGeneration_ ? entry->queued : 0;
        if (queued == 0) {
            textureIndex_.erase(texture);
        } else {
            entry->released = true;
            releasedQuads_ += queued;
        }
    }
    if (texture == scratchTexture_) scratchTexture_ = nullptr;
    if (texture == compositionSurface_) compositionSurface_ = nullptr;
    texture->destroy(kDestroyAndFree);
}

void CDD7Render::releaseAllTextures() {
    DD7R_SLOT(releaseAllTextures);
    const bool hadOwnTextures = scratchTexture_ != nullptr;
    while (!textureList_.empty()) destroyTexture(textureList_.front());
    if (!hadOwnTextures) return;
    // The renderer's own two textures went with the others; it keeps drawing and presenting
    // with new ones. Those DirectDraw cannot make now get their surfaces when it can
    // (makeMissingOwnSurfaces); a failed creation leaves them to the next reset notification.
    try {
        createOwnedTextures();
    } catch (const std::exception&) {
        releaseOwnedTextures();
    }
}

}  // namespace ZelUISystem
