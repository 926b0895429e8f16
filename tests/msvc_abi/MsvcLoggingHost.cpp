// A host in the Windows platform compiler's ABI that ships what the integration guide tells it
// to: msvc/dd7r.dll and msvc/dll_logger.dll beside it, with a KelLogger.ini at level 4, and no
// mingw-w64 runtime DLL anywhere it could be found. It runs in a folder holding only those
// files, creates a renderer with the current folder as the logger's, resets it and destroys it, and
// checks that dd7r.log then holds the logger's first line and the module's line for the reset.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "HostDirectDraw.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"

namespace {

class LoggingDevice final : public ZelUISystem::RendererDevice {
public:
    explicit LoggingDevice(IDirectDraw7* directDrawObject) : directDraw(directDrawObject) {}
    IDirectDraw7* queryDirectDraw() override { return directDraw; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = 40.0f;
        *height = 30.0f;
    }
    int queryBlendMode() override { return 0; }
    int querySurfaceMemory() override { return 0; }
    int queryTexturePixelFormat() override { return 0; }

private:
    IDirectDraw7* directDraw;
};

// The whole log file, or an empty text when there is none.
void readLog(char* text, size_t capacity) {
    text[0] = '\0';
    FILE* file = fopen("dd7r.log", "rb");
    if (file == nullptr) return;
    const size_t length = fread(text, 1, capacity - 1, file);
    text[length] = '\0';
    fclose(file);
}

int run() {
    remove("dd7r.log");
    HMODULE module = LoadLibraryExA("dd7r.dll", nullptr, 0);
    if (module == nullptr) {
        printf("FAILED: cannot load dd7r.dll\n");
        return 1;
    }
    auto create = reinterpret_cast<CreateRendererFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "createRenderer")));
    auto destroy = reinterpret_cast<DestroyRendererFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "destroyRenderer")));
    static const GUID iidDirectDraw7 = {
        0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};
    void* object = nullptr;
    if (create == nullptr || destroy == nullptr ||
        FAILED(DirectDrawCreateEx(nullptr, &object, iidDirectDraw7, nullptr)) ||
        FAILED(hostdd::setCooperativeLevel(static_cast<IDirectDraw7*>(object), nullptr,
                                           hostdd::kCooperativeNormal))) {
        printf("FAILED: no exports or no DirectDraw\n");
        return 1;
    }
    LoggingDevice device(static_cast<IDirectDraw7*>(object));
    ZelUISystem::Renderer* renderer = create(&device, 0, false, ".\\", 0, 0);
    if (renderer == nullptr) {
        printf("FAILED: createRenderer returned null\n");
        return 1;
    }
    renderer->preD3DReset();
    bool sizeChanged = true;
    renderer->postD3DReset(&sizeChanged);
    destroy(renderer);
    hostdd::release(object);

    static char log[4096];
    readLog(log, sizeof log);
    static const char* const expectedLines[] = {
        "[dd7r] START level 4, host values 0x00000000 0x00000000",
        "[dd7r] L4 CDD7Render::postD3DReset (width 40.000000, height 30.000000)",
    };
    int failures = 0;
    for (const char* line : expectedLines) {
        if (strstr(log, line) != nullptr) continue;
        printf("FAILED: dd7r.log lacks \"%s\"; it holds:\n%s\n", line, log);
        ++failures;
    }
    if (failures == 0) printf("PASSED: dd7r.log written by msvc/dll_logger.dll\n");
    return failures == 0 ? 0 : 1;
}

}  // namespace

extern "C" int mainCRTStartup() {
    const int status = run();
    fflush(stdout);
    exit(status);
}
