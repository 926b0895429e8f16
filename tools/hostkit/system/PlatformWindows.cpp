// Windows build: the real DirectDraw 7 at DDSCL_NORMAL without a window. The display keeps its
// own mode; the 16-bit layouts are asked of the surfaces instead (the device answers 565 or
// 555 as the texture pixel format and the target surface is created in that layout).

#include "system/HostPlatform.h"

#include <vector>

namespace dd7rdemo {

IDirectDraw7* openDirectDraw(DisplayFormat format, std::string& error) {
    IDirectDraw7* directDraw = nullptr;
    HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw),
                                        IID_IDirectDraw7, nullptr);
    if (FAILED(result)) {
        error = "DirectDrawCreateEx failed";
        return nullptr;
    }
    result = directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    if (FAILED(result)) {
        directDraw->Release();
        error = "SetCooperativeLevel(NULL, DDSCL_NORMAL) failed";
        return nullptr;
    }
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    if (format == DisplayFormat::Xrgb32 &&
        (FAILED(directDraw->GetDisplayMode(&mode)) || mode.ddpfPixelFormat.dwRGBBitCount != 32)) {
        directDraw->Release();
        error = "the display is not in a 32-bit mode";
        return nullptr;
    }
    return directDraw;
}

void closeDirectDraw(IDirectDraw7* directDraw) {
    if (directDraw != nullptr) directDraw->Release();
}

// Setting a display mode at DDSCL_NORMAL, even the current one, loses the surfaces that can be
// lost; restoring the mode afterwards leaves the display as it was.
bool loseAllSurfaces(IDirectDraw7* directDraw, std::string& error) {
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    if (FAILED(directDraw->GetDisplayMode(&mode))) {
        error = "GetDisplayMode failed";
        return false;
    }
    if (FAILED(directDraw->SetDisplayMode(mode.dwWidth, mode.dwHeight,
                                          mode.ddpfPixelFormat.dwRGBBitCount, 0, 0))) {
        error = "SetDisplayMode failed";
        return false;
    }
    directDraw->RestoreDisplayMode();
    return true;
}

const char* directDrawName() { return "the system's DirectDraw 7 (ddraw.dll)"; }

bool platformHasWindows() { return true; }

const char* rendererModuleFileName() { return "dd7r.dll"; }

std::string executableDirectory() {
    std::vector<char> buffer(32768);
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return ".\\";
    const std::string path(buffer.data(), length);
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

void* loadSharedLibrary(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr)
        error = "LoadLibrary(" + path + ") failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(library);
}

void* findSharedLibrarySymbol(void* library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace dd7rdemo
