// The DirectDraw 7 pieces the Microsoft-ABI test host uses, declared here (no system headers):
// the records it fills and the COM methods it calls, reached by their position in the object's
// table (stdcall, the object first), in the order of the published ddraw.h.
#pragma once

#include <windows.h>

struct IDirectDraw7;
struct IDirectDrawSurface7;

namespace hostdd {

struct ColorKey {
    DWORD low;
    DWORD high;
};

struct PixelFormat {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
static_assert(sizeof(PixelFormat) == 32, "DDPIXELFORMAT");

struct SurfaceDesc {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwMipMapCount;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    ColorKey keys[4];
    PixelFormat ddpfPixelFormat;
    DWORD ddsCaps[4];
    DWORD dwTextureStage;
};
static_assert(sizeof(SurfaceDesc) == 124, "DDSURFACEDESC2");

struct BltFx {
    DWORD dwSize;
    DWORD before[19];
    DWORD dwFillColor;
    ColorKey keys[2];
};
static_assert(sizeof(BltFx) == 100, "DDBLTFX");

constexpr DWORD kDdsdCaps = 0x1, kDdsdHeight = 0x2, kDdsdWidth = 0x4, kDdsdPixelFormat = 0x1000;
constexpr DWORD kCapsOffscreenPlain = 0x40, kCapsSystemMemory = 0x800;
constexpr DWORD kPixelFormatRgb = 0x40;
constexpr DWORD kCooperativeNormal = 0x8;
constexpr DWORD kEnumAll = 0x1, kEnumDoesExist = 0x10;
constexpr DWORD kBltColorFill = 0x400, kBltWait = 0x01000000;
constexpr DWORD kLockWait = 0x1;
constexpr HRESULT kEnumNext = 1;  // DDENUMRET_OK

// The method at `index` of a COM object's table, called with the object first.
template <typename Result, typename... Arguments>
Result call(void* object, int index, Arguments... arguments) {
    using Method = Result(__stdcall*)(void*, Arguments...);
    return (*static_cast<Method**>(object))[index](object, arguments...);
}

// IUnknown
inline ULONG release(void* object) { return call<ULONG>(object, 2); }

// IDirectDraw7
using EnumSurfacesCallback = HRESULT(__stdcall*)(IDirectDrawSurface7*, SurfaceDesc*, void*);
inline HRESULT createSurface(IDirectDraw7* dd, SurfaceDesc* desc, IDirectDrawSurface7** out) {
    return call<HRESULT>(dd, 6, desc, out, static_cast<void*>(nullptr));
}
inline HRESULT enumSurfaces(IDirectDraw7* dd, DWORD flags, void* context,
                            EnumSurfacesCallback callback) {
    return call<HRESULT>(dd, 9, flags, static_cast<SurfaceDesc*>(nullptr), context, callback);
}
inline HRESULT getDisplayMode(IDirectDraw7* dd, SurfaceDesc* desc) {
    return call<HRESULT>(dd, 12, desc);
}
inline HRESULT restoreDisplayMode(IDirectDraw7* dd) { return call<HRESULT>(dd, 19); }
inline HRESULT setCooperativeLevel(IDirectDraw7* dd, HWND window, DWORD flags) {
    return call<HRESULT>(dd, 20, window, flags);
}
inline HRESULT setDisplayMode(IDirectDraw7* dd, DWORD width, DWORD height, DWORD bits) {
    return call<HRESULT>(dd, 21, width, height, bits, DWORD{0}, DWORD{0});
}

// IDirectDrawSurface7
inline HRESULT blt(IDirectDrawSurface7* surface, RECT* destination, BltFx* fx, DWORD flags) {
    return call<HRESULT>(surface, 5, destination, static_cast<IDirectDrawSurface7*>(nullptr),
                         static_cast<RECT*>(nullptr), flags, fx);
}
inline HRESULT lock(IDirectDrawSurface7* surface, SurfaceDesc* desc, DWORD flags) {
    return call<HRESULT>(surface, 25, static_cast<RECT*>(nullptr), desc, flags,
                         static_cast<HANDLE>(nullptr));
}
inline HRESULT unlock(IDirectDrawSurface7* surface) {
    return call<HRESULT>(surface, 32, static_cast<RECT*>(nullptr));
}

}  // namespace hostdd

extern "C" __declspec(dllimport) HRESULT __stdcall DirectDrawCreateEx(GUID* driver, void** out,
                                                                      const GUID& iid,
                                                                      void* outer);
