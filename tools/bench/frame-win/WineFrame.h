#pragma once
// The benchmark scene drawn by the product: dd7r.dll, loaded by path like any host loads it,
// on the DirectDraw 7 of the system (Wine's, when run under Wine), on a 32-bit off-screen
// target surface in system memory.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchDevice.h"
#include "SceneFiles.h"
#include "platform/DirectDraw.h"
#include "platform/ModuleExports.h"

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
    DirectDrawScreen(std::uint32_t width, std::uint32_t height);
    ~DirectDrawScreen();
    DirectDrawScreen(const DirectDrawScreen&) = delete;
    DirectDrawScreen& operator=(const DirectDrawScreen&) = delete;

    IDirectDraw7* directDraw() const { return directDraw_; }
    IDirectDrawSurface7* target() const { return target_; }
    void clearTarget(std::uint32_t colour) const;

private:
    IDirectDraw7* directDraw_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
};

// A renderer of the module in one blend mode drawing the scene on the screen. Throws
// std::runtime_error.
class WineFrame {
public:
    WineFrame(const ModuleLibrary& module, DirectDrawScreen& screen, const Scene& scene, int blendMode);
    ~WineFrame();
    WineFrame(const WineFrame&) = delete;
    WineFrame& operator=(const WineFrame&) = delete;

    // One whole frame: clear, a fresh queue of every quad, one render pass.
    void drawFrame();

private:
    const ModuleLibrary& module_;
    DirectDrawScreen& screen_;
    const Scene& scene_;
    BenchDevice device_;
    ZelUISystem::Renderer* renderer_ = nullptr;
    std::vector<ZelUISystem::Texture*> quadTextures_;
};

}  // namespace framebench
