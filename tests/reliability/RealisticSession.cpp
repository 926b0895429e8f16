#include "RealisticSession.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "files/TempDirectory.h"
#include "fuzzhost/TestPicture.h"

namespace reliability {

namespace {

using ZelUISystem::Renderer;
using ZelUISystem::Texture;
using Bytes = std::vector<std::uint8_t>;

// The image files of the session, made once; the one on disk is removed at exit.
struct SessionFiles {
    SessionFiles() {
        const dd7rdemo::Image picture = dd7rfuzz::makePicture(13, 9, 7);
        for (std::size_t format : {0u, 2u, 3u, 5u, 7u}) inMemory.push_back(dd7rfuzz::encodeInFormat(format, picture));
        hostkit::writeFile(folder.path() / fileName, dd7rfuzz::encodeInFormat(1, dd7rfuzz::makePicture(11, 6, 2)));
        directory = folder.utf8() + "/";
    }
    SessionFiles(const SessionFiles&) = delete;
    SessionFiles& operator=(const SessionFiles&) = delete;

    std::vector<Bytes> inMemory;  // PNG with alpha, JPEG, BMP, TGA, GIF
    hostkit::TempDirectory folder;
    std::string fileName = "session picture.png";
    std::string directory;  // the folder's UTF-8 name with a trailing separator
};

const SessionFiles& sessionFiles() {
    static const SessionFiles files;
    return files;
}

Bytes rawPixels(std::uint32_t width, std::uint32_t height, std::uint32_t bytesPerPixel, std::uint8_t seed) {
    Bytes pixels(std::size_t{width} * height * bytesPerPixel);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 41 + seed);
    return pixels;
}

class Session {
public:
    Session(HostSession& host, SessionOutcome& outcome) : host_(host), outcome_(outcome) {}

    void run() {
        renderer_ = host_.createRenderer();
        if (renderer_ == nullptr) {
            outcome_.lastError = getLastErrorString();
            return;
        }
        outcome_.rendererCreated = true;
        renderer_->setTargetSurface(host_.target());
        loadTextures();
        drawFrames(2);
        reset(false);
        drawFrames(1);
        host_.soft().loseAllSurfaces();
        drawFrames(1);
        reset(true);
        drawFrames(1);
        releaseTextures();
        destroyRenderer(renderer_);
    }

private:
    void call(const char* slot, const std::function<void()>& hostCall) {
        try {
            hostCall();
        } catch (const std::exception& error) {
            outcome_.failures.push_back({slot, error.what()});
        } catch (...) {
            ++outcome_.foreignExceptions;
        }
    }

    void keep(Texture* texture) {
        if (texture != nullptr) textures_.push_back(texture);
    }

    void loadTextures() {
        for (const Bytes& file : sessionFiles().inMemory)
            call("createTexture(fileData)", [&] { keep(renderer_->createTexture(file.data(), static_cast<std::uint32_t>(file.size()))); });
        call("createTexture(fileName)", [&] { keep(renderer_->createTexture(sessionFiles().fileName.c_str(), sessionFiles().directory.c_str())); });
        call("createTexture(size)", [&] { keep(renderer_->createTexture(32.0f)); });
        loadPixels(ZelUISystem::TEXFMT_RGBA, 12, 10, true);
        loadPixels(ZelUISystem::TEXFMT_RGB, 9, 7, false);
        loadPixels(ZelUISystem::TEXFMT_BGRA, 8, 8, false);
        fillPart();
    }

    // A blank texture the host fills with raw pixels (and keeps them in memory, or not).
    void loadPixels(ZelUISystem::TextureFormat format, std::uint32_t width, std::uint32_t height, bool hostKeeps) {
        Texture* texture = nullptr;
        call("createTexture()", [&] { texture = renderer_->createTexture(); });
        if (texture == nullptr) return;
        keep(texture);
        texture->inMemory = hostKeeps;
        const Bytes pixels = rawPixels(width, height, format == ZelUISystem::TEXFMT_RGB ? 3 : 4, static_cast<std::uint8_t>(format));
        call("loadFromMemory", [&] { texture->loadFromMemory(pixels.data(), width, height, format); });
    }

    // Part of the last texture refreshed, as a host updates a glyph cache.
    void fillPart() {
        if (textures_.empty()) return;
        Texture* texture = textures_.back();
        const Bytes pixels = rawPixels(4, 3, 4, 9);
        call("fillFromMemory", [&] { texture->fillFromMemory(pixels.data(), 2, 3, 4, 3, 16, ZelUISystem::TEXFMT_BGRA); });
    }

    void submitTexture(Texture* texture, float x, float y, float z) {
        const float width = static_cast<float>(texture->getWidth());
        const float height = static_cast<float>(texture->getHeight());
        const ZelUISystem::FloatRect source{0.0f, 0.0f, width, height};
        call("submitQuad", [&] {
            renderer_->submitQuad({x, y, x + width, y + height}, z, texture, source, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
            renderer_->submitQuad({x + 3, y + 2, x + 3 + width * 2, y + 2 + height}, z + 1, texture, source, dd7rfuzz::sameCorners(0x80FFFFFFu), 0);
            renderer_->submitQuad({x + 1, y + 5, x + 1 + width, y + 5 + height}, z + 2, texture, source, dd7rfuzz::sameCorners(0xC0408020u), 0);
            renderer_->submitQuad({x, y, x + width / 2, y + height / 2}, z + 3, texture, source, dd7rfuzz::sameCorners(0xFF20C0FFu), 0);
        });
    }

    void drawFrames(int count) {
        for (int frame = 0; frame < count; ++frame) {
            float x = -4.0f;
            for (Texture* texture : textures_) {
                submitTexture(texture, x, static_cast<float>(frame * 7), static_cast<float>(frame));
                x += 9.0f;
            }
            call("renderQueue", [&] { renderer_->renderQueue(); });
            call("discardQueue", [&] { renderer_->discardQueue(); });
        }
        // A few quads drawn at once, without the queue.
        renderer_->setQueueing(false);
        if (!textures_.empty()) submitTexture(textures_.front(), 10.0f, 10.0f, 0.0f);
        renderer_->setQueueing(true);
    }

    void reset(bool newSize) {
        call("preD3DReset", [&] { renderer_->preD3DReset(); });
        if (newSize) {
            host_.device().width = 56.0f;
            host_.device().height = 40.0f;
        }
        bool sizeChanged = false;
        call("postD3DReset", [&] { renderer_->postD3DReset(&sizeChanged); });
    }

    void releaseTextures() {
        if (textures_.size() > 2) {
            renderer_->releaseTexture(textures_[0]);
            renderer_->releaseTexture(textures_[2]);
        }
        call("releaseAllTextures", [&] { renderer_->releaseAllTextures(); });
        textures_.clear();
        drawFrames(1);
    }

    HostSession& host_;
    SessionOutcome& outcome_;
    Renderer* renderer_ = nullptr;
    std::vector<Texture*> textures_;
};

}  // namespace

SessionOutcome runRealisticSession(HostSession& host) {
    SessionOutcome outcome;
    Session(host, outcome).run();
    return outcome;
}

}  // namespace reliability
