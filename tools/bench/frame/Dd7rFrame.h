#pragma once
// The scene drawn by the renderer module on the software DirectDraw: a renderer in one blend
// mode, the scene's textures uploaded once, and the screen it draws on.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "screen/FramePixels.h"
#include "scene/SceneFiles.h"
#include "screen/SoftScreen.h"

namespace ZelUISystem {
class CDD7Render;
class Texture;
}  // namespace ZelUISystem

namespace framebench {

class BenchDevice;

class Dd7rFrame {
public:
    Dd7rFrame(const Scene& scene, int blendMode);  // throws
    ~Dd7rFrame();
    Dd7rFrame(const Dd7rFrame&) = delete;
    Dd7rFrame& operator=(const Dd7rFrame&) = delete;

    // One whole frame: clear, a fresh queue of every quad, one render pass.
    void drawFrame();
    void clearTarget() { screen_.clearTarget(kClearColour); }
    void submitScene();  // empties the queue first, then queues every quad
    void renderPass();

    std::size_t takeCallCount() { return screen_.takeCallCount(); }
    std::vector<PixelCall> takePixelCalls() { return screen_.takePixelCalls(); }
    FramePixels readTarget() const { return screen_.readTarget(); }
    int blendMode() const;  // the mode the renderer settled on

private:
    void uploadTextures();
    void resolveQuadTextures();

    const Scene& scene_;
    SoftScreen screen_;
    std::unique_ptr<BenchDevice> device_;
    std::unique_ptr<ZelUISystem::CDD7Render> renderer_;
    std::map<std::string, ZelUISystem::Texture*> textures_;
    std::vector<ZelUISystem::Texture*> quadTextures_;  // per quad, looked up once
};

}  // namespace framebench
