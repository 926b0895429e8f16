// Native build: the software DirectDraw stand-in, whose display takes the asked layout, and
// dlopen for the module.

#include "system/HostPlatform.h"

#include "softddraw/PixelFormats.h"
#include "softddraw/SoftDirectDraw.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

namespace dd7rdemo {

namespace {

DDPIXELFORMAT pixelFormatOf(DisplayFormat format) {
    switch (format) {
        case DisplayFormat::Rgb565: return softddraw::rgb565Format();
        case DisplayFormat::Rgb555: return softddraw::rgb555Format();
        case DisplayFormat::Xrgb32: break;
    }
    return softddraw::xrgb32Format();
}

}  // namespace

IDirectDraw7* openDirectDraw(DisplayFormat format, std::string& error) {
    // Like Wine headless: no video memory, so every surface lives in system memory.
    IDirectDraw7* directDraw =
        softddraw::SoftDirectDraw::create(pixelFormatOf(format), softddraw::VideoMemory::Absent);
    if (directDraw == nullptr) error = "the software DirectDraw could not be created";
    // The tools built on this never read the call log: kept, it would grow with every call.
    if (auto* soft = dynamic_cast<softddraw::SoftDirectDraw*>(directDraw)) soft->keepCallLog(false);
    return directDraw;
}

void closeDirectDraw(IDirectDraw7* directDraw) {
    if (directDraw != nullptr) directDraw->Release();
}

bool loseAllSurfaces(IDirectDraw7* directDraw, std::string& error) {
    auto* soft = dynamic_cast<softddraw::SoftDirectDraw*>(directDraw);
    if (soft == nullptr) {
        error = "not the software DirectDraw";
        return false;
    }
    soft->loseAllSurfaces();
    return true;
}

const char* directDrawName() { return "the software DirectDraw 7 of the native build"; }

bool platformHasWindows() { return false; }

const char* rendererModuleFileName() { return "dd7r.so"; }

std::string executableDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return "./";
    const std::string path(buffer.data(), static_cast<std::size_t>(length));
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void* loadSharedLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : ("cannot load " + path);
    }
    return library;
}

void* findSharedLibrarySymbol(void* library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}

}  // namespace dd7rdemo
