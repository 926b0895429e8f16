// The C test host's services, over the tests' DirectDraw helpers.

#include "HostServices.h"

#include <string>

#include "SurfacePixels.h"
#include "TestDirectDraw.h"
#include "platform/DirectDraw.h"
#include "platform/Win32Types.h"

namespace {

IDirectDraw7* asDirectDraw(void* directDraw) { return static_cast<IDirectDraw7*>(directDraw); }
IDirectDrawSurface7* asSurface(void* surface) { return static_cast<IDirectDrawSurface7*>(surface); }

std::basic_string<WCHAR> widened(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0) return {};
    std::basic_string<WCHAR> wide(static_cast<std::size_t>(length), 0);
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

#if !DD7R_TEST_SOFT_DDRAW
HRESULT WINAPI countSurface(IDirectDrawSurface7* surface, DDSURFACEDESC2*, void* count) {
    ++*static_cast<long*>(count);
    surface->Release();  // the enumeration added a reference for the callback
    return DDENUMRET_OK;
}
#endif

}  // namespace

extern "C" {

void* hostLoadLibrary(const char* path) { return LoadLibraryW(widened(path).c_str()); }

void* hostFindExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void* hostCreateDirectDraw(void) {
    return ddtest::createTestDirectDraw(ddtest::TestDisplayFormat::Xrgb32);
}

void hostReleaseDirectDraw(void* directDraw) {
    ddtest::releaseTestDirectDraw(asDirectDraw(directDraw));
}

long hostLiveSurfaceCount(void* directDraw) {
#if DD7R_TEST_SOFT_DDRAW
    return static_cast<long>(ddtest::asSoft(asDirectDraw(directDraw))->liveSurfaceCount());
#else
    long count = 0;
    const HRESULT result = asDirectDraw(directDraw)->EnumSurfaces(
        DDENUMSURFACES_DOESEXIST | DDENUMSURFACES_ALL, nullptr, &count, countSurface);
    return FAILED(result) ? -1 : count;
#endif
}

void* hostCreateSurface(void* directDraw, uint32_t width, uint32_t height) {
    ddtest::SurfaceRequest request;
    request.width = width;
    request.height = height;
    request.format = ddtest::pixelFormatOf(ddtest::TestDisplayFormat::Xrgb32);
    IDirectDrawSurface7* surface = nullptr;
    if (FAILED(ddtest::createSurface(asDirectDraw(directDraw), request, &surface))) return nullptr;
    return surface;
}

void hostReleaseSurface(void* surface) { asSurface(surface)->Release(); }

int hostFillSurface(void* surface, uint32_t colour) {
    return SUCCEEDED(ddtest::colorFill(asSurface(surface), nullptr, colour)) ? 1 : 0;
}

uint32_t hostReadPixel(void* surface, uint32_t x, uint32_t y) {
    return ddtest::readPixel(asSurface(surface), x, y) & 0x00FFFFFFu;
}

}  // extern "C"
