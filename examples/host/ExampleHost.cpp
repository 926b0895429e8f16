// A minimal dd7r host, the same source for both toolchains (examples/mingw, examples/msvc).
// It loads dd7r.dll from its own folder, draws two textured quads onto an off-screen target,
// survives a device reset, and catches the module's failures as std::exception. It prints what
// it does and exits with 0 when every picture came out as expected.
#include <windows.h>
#include <ddraw.h>
#include <stdio.h>

#include <exception>

#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "interface/Texture.h"

namespace {

const DWORD kWidth = 64, kHeight = 48;

// The device the module asks for its DirectDraw object, the display size and its settings.
class ExampleDevice final : public ZelUISystem::RendererDevice {
public:
    explicit ExampleDevice(IDirectDraw7* directDraw) : directDraw_(directDraw) {}
    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = static_cast<float>(kWidth);
        *height = static_cast<float>(kHeight);
    }
    int queryBlendMode() override { return 0; }           // quads copied, composed off screen
    int querySurfaceMemory() override { return 0; }       // textures in system memory
    int queryTexturePixelFormat() override { return 0; }  // the display's layout

private:
    IDirectDraw7* directDraw_;
};

// An export of the module, by name. Through void*: a direct cast from FARPROC to a function
// pointer of another type warns under -Wextra (-Wcast-function-type).
template <typename Function>
Function moduleEntry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// An off-screen target in the display's layout, in system memory.
IDirectDrawSurface7* createTarget(IDirectDraw7* directDraw) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface7* surface = nullptr;
    return SUCCEEDED(directDraw->CreateSurface(&desc, &surface, nullptr)) ? surface : nullptr;
}

void clear(IDirectDrawSurface7* surface) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// The raw value of a pixel (its bytes in the surface's layout), or 0xFFFFFFFF when unreadable.
DWORD pixelAt(IDirectDrawSurface7* surface, DWORD x, DWORD y) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0xFFFFFFFFu;
    const DWORD bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    const BYTE* pixel = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
    DWORD value = 0;
    for (DWORD i = 0; i < bytes && i < 4; ++i) value |= static_cast<DWORD>(pixel[i]) << (8 * i);
    surface->Unlock(nullptr);
    return value;
}

ZelUISystem::FloatRect rectangle(float left, float top, float right, float bottom) {
    return ZelUISystem::FloatRect{left, top, right, bottom};
}

// One frame: a red quad and a stretched blue one over a black target. True when both show.
bool drawFrame(ZelUISystem::Renderer* renderer, IDirectDrawSurface7* target,
               ZelUISystem::Texture* red, ZelUISystem::Texture* blue) {
    const ZelUISystem::CornerColours white = {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    clear(target);
    renderer->discardQueue();
    renderer->submitQuad(rectangle(4, 4, 12, 12), 1.0f, red, rectangle(0, 0, 8, 8), white, 0);
    renderer->submitQuad(rectangle(20, 4, 36, 20), 1.0f, blue, rectangle(0, 0, 8, 8), white, 0);
    renderer->renderQueue();
    const DWORD redPixel = pixelAt(target, 8, 8), bluePixel = pixelAt(target, 28, 12);
    const DWORD background = pixelAt(target, 50, 40);
    printf("  pixels: red quad 0x%08lx, blue quad 0x%08lx, background 0x%08lx\n",
           static_cast<unsigned long>(redPixel), static_cast<unsigned long>(bluePixel),
           static_cast<unsigned long>(background));
    return redPixel != 0 && bluePixel != 0 && redPixel != bluePixel && background == 0;
}

// An 8x8 texture of one colour from raw pixels (blue, green, red, alpha), kept by the module
// for device resets (inMemory).
ZelUISystem::Texture* solidTexture(ZelUISystem::Renderer* renderer, BYTE r, BYTE g, BYTE b) {
    BYTE pixels[8 * 8 * 4];
    for (int i = 0; i < 8 * 8; ++i) {
        pixels[4 * i] = b;
        pixels[4 * i + 1] = g;
        pixels[4 * i + 2] = r;
        pixels[4 * i + 3] = 255;
    }
    ZelUISystem::Texture* texture = renderer->createTexture();
    texture->inMemory = true;
    texture->loadFromMemory(pixels, 8, 8, ZelUISystem::TEXFMT_BGRA);
    return texture;
}

int run() {
    HMODULE module = LoadLibraryA("dd7r.dll");
    if (module == nullptr) {
        printf("cannot load dd7r.dll (error %lu)\n", static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    auto createRenderer = moduleEntry<CreateRendererFn>(module, "createRenderer");
    auto destroyRenderer = moduleEntry<DestroyRendererFn>(module, "destroyRenderer");
    auto lastError = moduleEntry<GetLastErrorStringFn>(module, "getLastErrorString");

    IDirectDraw7* directDraw = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7,
                                  nullptr)) ||
        FAILED(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        printf("no DirectDraw 7\n");
        return 1;
    }
    IDirectDrawSurface7* target = createTarget(directDraw);
    ExampleDevice device(directDraw);
    // No logging folder: dll_logger.dll is looked up beside the executable, KelLogger.ini in
    // the current folder; without them the module logs nothing.
    ZelUISystem::Renderer* renderer = createRenderer(&device, 0, false, nullptr, 0, 0);
    if (renderer == nullptr || target == nullptr) {
        printf("createRenderer failed: %s\n", lastError());
        return 1;
    }
    printf("renderer: %s\n", renderer->getIdString().c_str());
    renderer->setTargetSurface(target);

    bool ok = true;
    try {
        ZelUISystem::Texture* red = solidTexture(renderer, 255, 0, 0);
        ZelUISystem::Texture* blue = solidTexture(renderer, 0, 0, 255);
        printf("frame before the reset\n");
        ok = drawFrame(renderer, target, red, blue) && ok;

        // Around anything that loses DirectDraw surfaces; the textures made from kept pixels
        // are rebuilt by postD3DReset.
        renderer->preD3DReset();
        if (target->IsLost() == DDERR_SURFACELOST) target->Restore();
        bool sizeChanged = false;
        renderer->postD3DReset(&sizeChanged);
        printf("frame after the reset (size changed: %s)\n", sizeChanged ? "yes" : "no");
        ok = drawFrame(renderer, target, red, blue) && ok;
    } catch (const std::exception& error) {
        printf("unexpected failure: %s\n", error.what());
        ok = false;
    }

    // A failure the host expects: a skin file that is not there.
    try {
        renderer->createTexture("missing-skin.png", "skins\\");
        printf("a missing file did not fail\n");
        ok = false;
    } catch (const std::exception& error) {
        printf("caught, as expected: %s\n", error.what());
    }

    renderer->setTargetSurface(nullptr);
    destroyRenderer(renderer);  // and every texture it made
    target->Release();
    directDraw->Release();
    printf("%s\n", ok ? "example host: OK" : "example host: FAILED");
    return ok ? 0 : 1;
}

}  // namespace

int main() { return run(); }
