#include "run/RenderSession.h"

#include "host/DemoDevice.h"
#include "image/SurfaceCapture.h"
#include "system/HostPlatform.h"
#include "system/PresentationWindow.h"
#include "interface/Renderer.h"
#include "platform/Rgb16PixelFormat.h"
#include "scene/SkinTextures.h"
#include "scene/UiScene.h"

#include <chrono>
#include <exception>
#include <memory>
#include <stdexcept>

namespace dd7rdemo {

using ZelUISystem::Renderer;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct DirectDrawCloser {
    void operator()(IDirectDraw7* directDraw) const { closeDirectDraw(directDraw); }
};
struct SurfaceReleaser {
    void operator()(IDirectDrawSurface7* surface) const { surface->Release(); }
};
using DirectDrawPtr = std::unique_ptr<IDirectDraw7, DirectDrawCloser>;
using SurfacePtr = std::unique_ptr<IDirectDrawSurface7, SurfaceReleaser>;

// The host's own target surface, in the layout the renderer's textures get, and in memory that
// DirectDraw chooses like the renderer's, so that a display reset loses it as well.
SurfacePtr createTargetSurface(IDirectDraw7* directDraw, const SessionRequest& request) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = request.width;
    desc.dwHeight = request.height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (request.format == DisplayFormat::Rgb565) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = ZelUISystem::rgb16PixelFormat(0xF800, 0x07E0, 0x001F);
    } else if (request.format == DisplayFormat::Rgb555) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = ZelUISystem::rgb16PixelFormat(0x7C00, 0x03E0, 0x001F);
    }
    IDirectDrawSurface7* surface = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
    return SurfacePtr(surface);
}

// The "game" below the overlay: here just a flat colour that the UI is drawn over.
void clearTarget(IDirectDrawSurface7* target, DisplayFormat format) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    switch (format) {
        case DisplayFormat::Rgb565: fx.dwFillColor = (3u << 11) | (6u << 5) | 10u; break;
        case DisplayFormat::Rgb555: fx.dwFillColor = (3u << 10) | (3u << 5) | 10u; break;
        case DisplayFormat::Xrgb32: fx.dwFillColor = 0x00182850u; break;
    }
    target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

struct RendererDestroyer {
    DestroyRendererFn destroy;
    void operator()(Renderer* renderer) const { destroy(renderer); }
};
using RendererPtr = std::unique_ptr<Renderer, RendererDestroyer>;

// What a host does around a display reset: tell the renderer before, let the display lose
// its surfaces, restore its own target surface, tell the renderer after.
void resetDevice(Renderer& renderer, IDirectDraw7* directDraw, IDirectDrawSurface7* target,
                 PresentationWindow* window) {
    renderer.preD3DReset();
    std::string error;
    if (!loseAllSurfaces(directDraw, error) && (window == nullptr || !window->loseSurfaces(error)))
        throw std::runtime_error("device reset: " + error);
    if (target->IsLost() == DDERR_SURFACELOST && FAILED(target->Restore()))
        throw std::runtime_error("device reset: the target surface cannot be restored");
    bool sizeChanged = false;
    renderer.postD3DReset(&sizeChanged);
}

SceneState sceneState(const SessionRequest& request, unsigned index) {
    SceneState state;
    state.width = request.width;
    state.height = request.height;
    state.frame = index;
    state.frames = request.frames;
    state.formatName = displayFormatName(request.format);
    state.blendMode = request.blendMode;
    return state;
}

FrameResult renderFrame(Renderer& renderer, const SkinTextures& skin, IDirectDrawSurface7* target,
                        const SessionRequest& request, unsigned index) {
    clearTarget(target, request.format);
    const SceneState state = sceneState(request, index);
    FrameResult frame;
    frame.index = index;
    const Clock::time_point start = Clock::now();
    renderer.discardQueue();
    submitScene(renderer, skin, state);
    renderer.renderQueue();
    frame.renderMilliseconds = millisecondsSince(start);

    std::string error;
    frame.image = captureSurface(target, error);
    if (frame.image.empty()) throw std::runtime_error("frame capture: " + error);
    frame.checksum = frameChecksum(frame.image);
    return frame;
}

std::unique_ptr<PresentationWindow> openWindow(const SessionRequest& request, IDirectDraw7* directDraw,
                                              std::string& error) {
    const std::string title = std::string("dd7r-demo - format ") + displayFormatName(request.format) +
                              " blend " + std::to_string(request.blendMode);
    return PresentationWindow::open(directDraw, request.width, request.height, title, error);
}

void runFrames(const RendererModule& module, const SessionRequest& request, IDirectDraw7* directDraw,
               IDirectDrawSurface7* target, SessionResult& result,
               const std::function<void(FrameResult&)>& onFrame) {
    DemoDevice device(directDraw, request.width, request.height, request.blendMode, request.format);
    const char* loggerDirectory =
        request.loggerDirectory.empty() ? nullptr : request.loggerDirectory.c_str();
    RendererPtr renderer(module.createRenderer(&device, 0, false, loggerDirectory, 0, 0),
                         RendererDestroyer{module.destroyRenderer});
    if (!renderer) {
        result.error = std::string("createRenderer failed: ") + module.getLastErrorString();
        return;
    }
    renderer->setTargetSurface(target);
    SkinTextures skin;
    if (!loadSkinTextures(*renderer, request.skinDirectory, skin, result.error)) return;
    std::unique_ptr<PresentationWindow> window;
    if (request.showWindow && !(window = openWindow(request, directDraw, result.error))) return;

    const unsigned resetAt = resetFrameIndex(request.frames);
    for (unsigned index = 0; index < request.frames; ++index) {
        const bool reset = request.resetInMiddle && index == resetAt;
        if (reset) {
            const Clock::time_point start = Clock::now();
            resetDevice(*renderer, directDraw, target, window.get());
            result.resetMilliseconds = millisecondsSince(start);
        }
        FrameResult frame = renderFrame(*renderer, skin, target, request, index);
        frame.firstAfterReset = reset;
        if (window && !window->present(target, frame.image, result.error)) return;
        if (onFrame) onFrame(frame);
        result.frames.push_back(std::move(frame));
    }
    if (window) {
        result.windowScreenshot = window->screenshot(result.error);
        if (!result.ok()) return;
    }
    // Queued quads point at the textures: empty the queue before the renderer goes, which
    // then destroys every texture it made.
    renderer->discardQueue();
}

}  // namespace

unsigned resetFrameIndex(unsigned frames) { return frames / 2; }

SessionResult renderSession(const RendererModule& module, const SessionRequest& request,
                            const std::function<void(FrameResult&)>& onFrame) {
    SessionResult result;
    if (!module.ok()) {
        result.error = module.error();
        return result;
    }
    DirectDrawPtr directDraw(openDirectDraw(request.format, result.error));
    if (!directDraw) return result;
    SurfacePtr target = createTargetSurface(directDraw.get(), request);
    if (!target) {
        result.error = "the target surface cannot be created";
        return result;
    }
    try {
        runFrames(module, request, directDraw.get(), target.get(), result, onFrame);
    } catch (const std::exception& failure) {
        result.error = failure.what();
    } catch (...) {
        result.error = "unknown failure while rendering";
    }
    return result;
}

}  // namespace dd7rdemo
