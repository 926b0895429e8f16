#include "screen/WineFrame.h"

#include <chrono>
#include <stdexcept>

#include "scene/SceneSubmission.h"
#include "interface/Renderer.h"

namespace framebench {

namespace {

template <typename Fn>
Fn exportOf(HMODULE library, const char* name, const std::string& path) {
    FARPROC entry = GetProcAddress(library, name);
    if (entry == nullptr) throw std::runtime_error(path + " does not export " + name);
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
}

}  // namespace

// The library stays loaded for the life of the process, as its renderers point into it.
ModuleLibrary::ModuleLibrary(const std::string& path) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr)
        throw std::runtime_error("LoadLibrary(" + path + ") failed with error " + std::to_string(GetLastError()));
    createRenderer = exportOf<CreateRendererFn>(library, "createRenderer", path);
    destroyRenderer = exportOf<DestroyRendererFn>(library, "destroyRenderer", path);
    getLastErrorString = exportOf<GetLastErrorStringFn>(library, "getLastErrorString", path);
}

namespace {

DWORD memoryCaps(int surfaceMemory) {
    switch (surfaceMemory) {
        case 1: return DDSCAPS_VIDEOMEMORY;
        case 2: return 0;
        default: return DDSCAPS_SYSTEMMEMORY;
    }
}

}  // namespace

DirectDrawScreen::DirectDrawScreen(std::uint32_t width, std::uint32_t height, int surfaceMemory)
    : surfaceMemory_(surfaceMemory) {
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw_), IID_IDirectDraw7, nullptr)))
        throw std::runtime_error("DirectDrawCreateEx failed");
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    const char* failure = nullptr;
    if (FAILED(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
        failure = "SetCooperativeLevel(NULL, DDSCL_NORMAL) failed";
    else if (FAILED(directDraw_->GetDisplayMode(&mode)) || mode.ddpfPixelFormat.dwRGBBitCount != 32)
        failure = "the display is not in a 32-bit mode";
    if (failure == nullptr) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memoryCaps(surfaceMemory);
        if (FAILED(directDraw_->CreateSurface(&desc, &target_, nullptr)) || target_ == nullptr)
            failure = "CreateSurface of the target failed";
    }
    if (failure != nullptr) {
        directDraw_->Release();
        throw std::runtime_error(failure);
    }
}

DirectDrawScreen::~DirectDrawScreen() {
    target_->Release();
    directDraw_->Release();
}

void DirectDrawScreen::clearTarget(std::uint32_t colour) const {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    target_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

WineFrame::WineFrame(const ModuleLibrary& module, DirectDrawScreen& screen, const Scene& scene, int blendMode)
    : module_(module),
      screen_(screen),
      scene_(scene),
      device_(screen.directDraw(), scene.width, scene.height, blendMode, screen.surfaceMemory()) {
    renderer_ = module.createRenderer(&device_, 0, false, nullptr, 0, 0);
    if (renderer_ == nullptr)
        throw std::runtime_error(std::string("createRenderer failed: ") + module.getLastErrorString());
    try {
        renderer_->setTargetSurface(screen.target());
        quadTextures_ = quadTexturesOf(scene, uploadSceneTextures(*renderer_, scene));
    } catch (...) {
        module.destroyRenderer(renderer_);
        throw;
    }
}

WineFrame::~WineFrame() { module_.destroyRenderer(renderer_); }

void WineFrame::drawFrame(double* queueSeconds) {
    screen_.clearTarget(kClearColour);
    renderer_->discardQueue();
    const auto start = std::chrono::steady_clock::now();
    submitQuads(*renderer_, scene_, quadTextures_);
    if (queueSeconds != nullptr)
        *queueSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    renderPass();
}

void WineFrame::renderPass() { renderer_->renderQueue(); }

}  // namespace framebench
