/* The C test host's services written in C against the system's own headers, for the build of
   the C host in the Windows platform compiler's ABI (clang for i686-pc-windows-msvc), where
   the tests' C++ DirectDraw helpers are not available. The same behaviour as HostServices.cpp
   over the real DirectDraw. */
#define COBJMACROS
#define INITGUID /* IID_IDirectDraw7 is defined here */
#include <stdlib.h>
#include <windows.h>
#include <ddraw.h>

#include "HostServices.h"

void* hostLoadLibrary(const char* path) { return LoadLibraryA(path); }

void* hostFindExport(void* library, const char* name) {
    return (void*)GetProcAddress((HMODULE)library, name);
}

static DDPIXELFORMAT xrgb32(void) {
    DDPIXELFORMAT format;
    ZeroMemory(&format, sizeof format);
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0xFF0000;
    format.dwGBitMask = 0x00FF00;
    format.dwBBitMask = 0x0000FF;
    return format;
}

void* hostCreateDirectDraw(void) {
    IDirectDraw7* directDraw = NULL;
    DDSURFACEDESC2 mode;
    if (FAILED(DirectDrawCreateEx(NULL, (void**)&directDraw, &IID_IDirectDraw7, NULL))) return NULL;
    ZeroMemory(&mode, sizeof mode);
    mode.dwSize = sizeof mode;
    if (FAILED(IDirectDraw7_SetCooperativeLevel(directDraw, NULL, DDSCL_NORMAL)) ||
        FAILED(IDirectDraw7_GetDisplayMode(directDraw, &mode)) ||
        (mode.ddpfPixelFormat.dwRGBBitCount != 32 &&
         FAILED(IDirectDraw7_SetDisplayMode(directDraw, mode.dwWidth, mode.dwHeight, 32, 0, 0)))) {
        IDirectDraw7_Release(directDraw);
        return NULL;
    }
    return directDraw;
}

void hostReleaseDirectDraw(void* directDraw) {
    IDirectDraw7_RestoreDisplayMode((IDirectDraw7*)directDraw);
    IDirectDraw7_Release((IDirectDraw7*)directDraw);
}

static HRESULT WINAPI countSurface(IDirectDrawSurface7* surface, DDSURFACEDESC2* desc, void* count) {
    (void)desc;
    ++*(long*)count;
    IDirectDrawSurface7_Release(surface); /* the enumeration added a reference for the callback */
    return DDENUMRET_OK;
}

long hostLiveSurfaceCount(void* directDraw) {
    long count = 0;
    const HRESULT result = IDirectDraw7_EnumSurfaces((IDirectDraw7*)directDraw,
                                                     DDENUMSURFACES_DOESEXIST | DDENUMSURFACES_ALL,
                                                     NULL, &count, countSurface);
    return FAILED(result) ? -1 : count;
}

void* hostCreateSurface(void* directDraw, uint32_t width, uint32_t height) {
    DDSURFACEDESC2 desc;
    IDirectDrawSurface7* surface = NULL;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = xrgb32();
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (FAILED(IDirectDraw7_CreateSurface((IDirectDraw7*)directDraw, &desc, &surface, NULL)))
        return NULL;
    return surface;
}

void hostReleaseSurface(void* surface) { IDirectDrawSurface7_Release((IDirectDrawSurface7*)surface); }

int hostFillSurface(void* surface, uint32_t colour) {
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return SUCCEEDED(IDirectDrawSurface7_Blt((IDirectDrawSurface7*)surface, NULL, NULL, NULL,
                                             DDBLT_COLORFILL | DDBLT_WAIT, &fx));
}

uint32_t hostReadPixel(void* surface, uint32_t x, uint32_t y) {
    DDSURFACEDESC2 desc;
    uint32_t pixel;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(IDirectDrawSurface7_Lock((IDirectDrawSurface7*)surface, NULL, &desc, DDLOCK_WAIT,
                                        NULL)))
        return 0xFFFFFFFFu;
    pixel = ((const uint32_t*)((const unsigned char*)desc.lpSurface + y * desc.lPitch))[x];
    IDirectDrawSurface7_Unlock((IDirectDrawSurface7*)surface, NULL);
    return pixel & 0x00FFFFFFu;
}

/* Marks a program that uses floating point; the compiler's runtime start-up code would define it. */
int _fltused = 0x9875;
