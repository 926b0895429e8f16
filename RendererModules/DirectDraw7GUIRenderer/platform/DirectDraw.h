#pragma once
// DirectDraw 7 as the module sees it: the public records, constants and the two interfaces it
// calls. On Windows these are the toolchain's own <ddraw.h>; elsewhere the same records with
// the public field order and types, and only the interface methods the module uses.

#include "platform/Win32Types.h"

#if defined(_WIN32)

#include <ddraw.h>

#if !defined(_WIN64)
// The module fills these records field by field and hands their sizes to DirectDraw.
static_assert(sizeof(DDSURFACEDESC2) == 124, "DDSURFACEDESC2 must be 124 bytes");
static_assert(sizeof(DDBLTFX) == 100, "DDBLTFX must be 100 bytes");
static_assert(sizeof(DDPIXELFORMAT) == 32, "DDPIXELFORMAT must be 32 bytes");
static_assert(sizeof(DDCOLORKEY) == 8, "DDCOLORKEY must be 8 bytes");
#endif

#else

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};
using LPDDCOLORKEY = DDCOLORKEY*;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwAlphaBitDepth;
        DWORD dwLuminanceBitCount;
        DWORD dwBumpBitCount;
        DWORD dwPrivateFormatBitCount;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
        DWORD dwStencilBitDepth;
        DWORD dwLuminanceBitMask;
        DWORD dwBumpDuBitMask;
        DWORD dwOperations;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
        DWORD dwZBitMask;
        DWORD dwBumpDvBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
        DWORD dwStencilBitMask;
        DWORD dwBumpLuminanceBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwYUVAlphaBitMask;
        DWORD dwLuminanceAlphaBitMask;
        DWORD dwRGBZBitMask;
        DWORD dwYUVZBitMask;
    };
};
using LPDDPIXELFORMAT = DDPIXELFORMAT*;

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    union {
        DWORD dwCaps4;
        DWORD dwVolumeDepth;
    };
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    union {
        DWORD dwBackBufferCount;
        DWORD dwDepth;
    };
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
        DWORD dwSrcVBHandle;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    union {
        DDCOLORKEY ddckCKDestOverlay;
        DWORD dwEmptyFaceColor;
    };
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    union {
        DDPIXELFORMAT ddpfPixelFormat;
        DWORD dwFVF;
    };
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
using LPDDSURFACEDESC2 = DDSURFACEDESC2*;

struct IDirectDrawSurface7;

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    union {
        DWORD dwZDestConst;
        IDirectDrawSurface7* lpDDSZBufferDest;
    };
    DWORD dwZSrcConstBitDepth;
    union {
        DWORD dwZSrcConst;
        IDirectDrawSurface7* lpDDSZBufferSrc;
    };
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    union {
        DWORD dwAlphaDestConst;
        IDirectDrawSurface7* lpDDSAlphaDest;
    };
    DWORD dwAlphaSrcConstBitDepth;
    union {
        DWORD dwAlphaSrcConst;
        IDirectDrawSurface7* lpDDSAlphaSrc;
    };
    union {
        DWORD dwFillColor;
        DWORD dwFillDepth;
        DWORD dwFillPixel;
        IDirectDrawSurface7* lpDDSPattern;
    };
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};
using LPDDBLTFX = DDBLTFX*;

struct IUnknown;
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using REFIID = const GUID&;

// Only the methods the module calls (plus IUnknown); the stand-in DirectDraw implements them.
struct IDirectDrawSurface7 {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT Blt(LPRECT destRect, IDirectDrawSurface7* source, LPRECT sourceRect,
                        DWORD flags, LPDDBLTFX fx) = 0;
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, LPRECT sourceRect,
                            DWORD trans) = 0;
    virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    virtual HRESULT Unlock(LPRECT rect) = 0;

protected:
    ~IDirectDrawSurface7() = default;
};
using LPDIRECTDRAWSURFACE7 = IDirectDrawSurface7*;

struct IDirectDraw7 {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, IDirectDrawSurface7** surface,
                                  IUnknown* outer) = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    // Only a capture asks it (the display's layout decides the layout of some textures).
    virtual HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;

protected:
    ~IDirectDraw7() = default;
};
using LPDIRECTDRAW7 = IDirectDraw7*;

constexpr HRESULT DD_OK = 0;

// Surface description flags.
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;
constexpr DWORD DDSD_LPSURFACE = 0x00000800;
constexpr DWORD DDSD_CKSRCBLT = 0x00010000;

// Surface capabilities.
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;

// Pixel format flags.
constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x00000020;
constexpr DWORD DDPF_RGB = 0x00000040;

// Blt and BltFast flags.
constexpr DWORD DDBLT_COLORFILL = 0x00000400;
constexpr DWORD DDBLT_KEYSRC = 0x00008000;
constexpr DWORD DDBLT_KEYSRCOVERRIDE = 0x00010000;
constexpr DWORD DDBLT_WAIT = 0x01000000;
constexpr DWORD DDBLT_DONOTWAIT = 0x08000000;
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x00000000;
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x00000001;
constexpr DWORD DDBLTFAST_DESTCOLORKEY = 0x00000002;
constexpr DWORD DDBLTFAST_WAIT = 0x00000010;
constexpr DWORD DDBLTFAST_DONOTWAIT = 0x00000020;

// Lock flags.
constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDLOCK_READONLY = 0x00000010;
constexpr DWORD DDLOCK_DONOTWAIT = 0x00004000;

// Colour key flags.
constexpr DWORD DDCKEY_COLORSPACE = 0x00000001;
constexpr DWORD DDCKEY_DESTBLT = 0x00000002;
constexpr DWORD DDCKEY_SRCBLT = 0x00000008;

// Result codes.
constexpr HRESULT ddResult(std::uint32_t code) { return static_cast<HRESULT>(code); }
constexpr HRESULT DDERR_GENERIC = ddResult(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = ddResult(0x80004001u);
constexpr HRESULT DDERR_INVALIDPARAMS = ddResult(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = ddResult(0x8007000Eu);
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = ddResult(0x8876005Fu);
constexpr HRESULT DDERR_INVALIDCAPS = ddResult(0x88760064u);
constexpr HRESULT DDERR_INVALIDCLIPLIST = ddResult(0x8876006Eu);
constexpr HRESULT DDERR_INVALIDOBJECT = ddResult(0x88760082u);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = ddResult(0x88760091u);
constexpr HRESULT DDERR_INVALIDRECT = ddResult(0x88760096u);
constexpr HRESULT DDERR_NOALPHAHW = ddResult(0x887600B4u);
constexpr HRESULT DDERR_NOCLIPLIST = ddResult(0x887600CDu);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = ddResult(0x887600D4u);
constexpr HRESULT DDERR_NOCOLORKEY = ddResult(0x887600D7u);
constexpr HRESULT DDERR_NOCOLORKEYHW = ddResult(0x887600DCu);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = ddResult(0x887600E1u);
constexpr HRESULT DDERR_NOFLIPHW = ddResult(0x887600E6u);
constexpr HRESULT DDERR_NOOVERLAYHW = ddResult(0x88760104u);
constexpr HRESULT DDERR_NORASTEROPHW = ddResult(0x88760118u);
constexpr HRESULT DDERR_NOSTRETCHHW = ddResult(0x88760136u);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = ddResult(0x8876017Cu);
constexpr HRESULT DDERR_SURFACEBUSY = ddResult(0x887601AEu);
constexpr HRESULT DDERR_SURFACELOST = ddResult(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = ddResult(0x8876021Cu);
constexpr HRESULT DDERR_NODIRECTDRAWHW = ddResult(0x88760233u);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = ddResult(0x88760234u);
constexpr HRESULT DDERR_NOPALETTEATTACHED = ddResult(0x8876023Cu);
constexpr HRESULT DDERR_NOBLTHW = ddResult(0x8876023Fu);
constexpr HRESULT DDERR_NOTLOCKED = ddResult(0x88760248u);
constexpr HRESULT DDERR_WRONGMODE = ddResult(0x8876024Bu);

#endif
