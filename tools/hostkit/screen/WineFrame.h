#pragma once
// The benchmark scene drawn by the product: dd7r.dll, loaded by path like any host loads it,
// on the DirectDraw 7 of the system (Wine's, when run under Wine), on a 32-bit off-screen
// target surface (in system memory unless told otherwise).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "screen/BenchDevice.h"
#include "scene/SceneFiles.h"
#include "platform/DirectDraw.h"
#include "interface/ModuleExports.h"

namespace ZelUISystem {
class Renderer;
class Texture;
}  // namespace ZelUISystem

namespace framebench {

// The module's three exports, looked up by name. Throws std::runtime_error.
class ModuleLibrary {
public:
    explicit ModuleLibrary(const std::string& path);

    CreateRendererFn createRenderer = nullptr;
    DestroyRendererFn destroyRenderer = nullptr;
    GetLastErrorStringFn getLastErrorString = nullptr;
};

// A DirectDraw 7 object at DDSCL_NORMAL (a 32-bit display mode is needed: the renderer's
// surfaces take the display's layout) and a target surface of the screen's size. Throws
// std::runtime_error.
class DirectDrawScreen {
public:
    // surfaceMemory: as the renderer device answers it (0 system memory, 1 video memory, 2
    // DirectDraw chooses), for the target surface too.
    DirectDrawScreen(std::uint32_t width, std::uint32_t height, int surfaceMemory);
    ~DirectDrawScreen();
    DirectDrawScreen(const DirectDrawScreen&) = delete;
    DirectDrawScreen& operator=(const DirectDrawScreen&) = delete;

    IDirectDraw7* directDraw() const { return directDraw_; }
    IDirectDrawSurface7* target() const { return target_; }
    int surfaceMemory() const { return surfaceMemory_; }
    void clearTarget(std::uint32_t colour) const;

private:
    IDirectDraw7* directDraw_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
    int surfaceMemory_;
};

// A renderer of the module in one blend mode drawing the scene on the screen. Throws
// std::runtime_error.
class WineFrame {
public:
    WineFrame(const ModuleLibrary& module, DirectDrawScreen& screen, const Scene& scene, int blendMode);
    ~WineFrame();
    WineFrame(const WineFrame&) = delete;
    WineFrame& operator=(const WineFrame&) = delete;

    // One whole frame: clear, a fresh queue of every quad, one render pass. With `queueSeconds`,
    // the time spent queueing the quads is added to it.
    void drawFrame(double* queueSeconds = nullptr);
    // A render pass alone (in blend mode 0 after a frame: only the present).
    void renderPass();

private:
    const ModuleLibrary& module_;
    DirectDrawScreen& screen_;
    const Scene& scene_;
    BenchDevice device_;
    ZelUISystem::Renderer* renderer_ = nullptr;
    std::vector<ZelUISystem::Texture*> quadTextures_;
};

}  // namespace framebench
