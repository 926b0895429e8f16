#include "TestDirectDraw.h"

#include "SurfacePixels.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <map>
#endif

namespace ddtest {

DDPIXELFORMAT pixelFormatOf(TestDisplayFormat format) {
    switch (format) {
        case TestDisplayFormat::Palettized8: return softddraw::palettized8Format();
        case TestDisplayFormat::Rgb555: return softddraw::rgb555Format();
        case TestDisplayFormat::Rgb565: return softddraw::rgb565Format();
        case TestDisplayFormat::Rgb24: return softddraw::rgb24Format();
        case TestDisplayFormat::Xrgb32: break;
    }
    return softddraw::xrgb32Format();
}

const char* displayFormatName(TestDisplayFormat format) {
    switch (format) {
        case TestDisplayFormat::Palettized8: return "Palettized8";
        case TestDisplayFormat::Rgb555: return "Rgb555";
        case TestDisplayFormat::Rgb565: return "Rgb565";
        case TestDisplayFormat::Rgb24: return "Rgb24";
        case TestDisplayFormat::Xrgb32: break;
    }
    return "Xrgb32";
}

DWORD capsOf(MemoryCaps memory) {
    switch (memory) {
        case MemoryCaps::System: return DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        case MemoryCaps::Video: return DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
        case MemoryCaps::None: break;
    }
    return DDSCAPS_OFFSCREENPLAIN;
}

DDSURFACEDESC2 surfaceDescFor(const SurfaceRequest& request) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = request.width;
    desc.dwHeight = request.height;
    desc.ddsCaps.dwCaps = capsOf(request.memory);
    if (request.format) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *request.format;
    }
    if (request.sourceKey) {
        desc.dwFlags |= DDSD_CKSRCBLT;
        desc.ddckCKSrcBlt = *request.sourceKey;
    }
    return desc;
}

HRESULT createSurface(IDirectDraw7* directDraw, const SurfaceRequest& request,
                      IDirectDrawSurface7** surface) {
    DDSURFACEDESC2 desc = surfaceDescFor(request);
    *surface = nullptr;
    return directDraw->CreateSurface(&desc, surface, nullptr);
}

IDirectDrawSurface7* createTestSurface(IDirectDraw7* directDraw, DWORD width, DWORD height,
                                       const std::optional<DDPIXELFORMAT>& format,
                                       MemoryCaps memory) {
    SurfaceRequest request;
    request.width = width;
    request.height = height;
    request.format = format;
    request.memory = memory;
    IDirectDrawSurface7* surface = nullptr;
    const HRESULT result = createSurface(directDraw, request, &surface);
    if (result != DD_OK) {
        ADD_FAILURE() << "CreateSurface " << width << "x" << height << " "
                      << (format ? describe(*format) : std::string("display format"))
                      << " failed: " << resultName(result);
        return nullptr;
    }
    return surface;
}

#if defined(_WIN32)

namespace {

// Objects for which createTestDirectDraw changed the display mode.
std::map<IDirectDraw7*, bool>& changedModes() {
    static std::map<IDirectDraw7*, bool> modes;
    return modes;
}

bool displayMode(IDirectDraw7* directDraw, DDSURFACEDESC2& mode) {
    mode = DDSURFACEDESC2{};
    mode.dwSize = sizeof(mode);
    return SUCCEEDED(directDraw->GetDisplayMode(&mode));
}

bool displayShows(IDirectDraw7* directDraw, const DDPIXELFORMAT& wanted) {
    DDSURFACEDESC2 mode;
    if (!displayMode(directDraw, mode)) return false;
    const DDPIXELFORMAT& shown = mode.ddpfPixelFormat;
    if (shown.dwRGBBitCount != wanted.dwRGBBitCount) return false;
    if ((wanted.dwFlags & DDPF_PALETTEINDEXED8) != 0)
        return (shown.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    return shown.dwRBitMask == wanted.dwRBitMask && shown.dwGBitMask == wanted.dwGBitMask &&
           shown.dwBBitMask == wanted.dwBBitMask;
}

bool switchDisplayTo(IDirectDraw7* directDraw, const DDPIXELFORMAT& wanted) {
    DDSURFACEDESC2 mode;
    if (!displayMode(directDraw, mode)) return false;
    if (FAILED(directDraw->SetDisplayMode(mode.dwWidth, mode.dwHeight, wanted.dwRGBBitCount, 0, 0)))
        return false;
    return displayShows(directDraw, wanted);
}

}  // namespace

IDirectDraw7* createTestDirectDraw(TestDisplayFormat format) {
    IDirectDraw7* directDraw = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw),
                                  IID_IDirectDraw7, nullptr)))
        return nullptr;
    if (FAILED(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        directDraw->Release();
        return nullptr;
    }
    const DDPIXELFORMAT wanted = pixelFormatOf(format);
    if (!displayShows(directDraw, wanted)) {
        const bool switched = switchDisplayTo(directDraw, wanted);
        changedModes()[directDraw] = true;
        if (!switched) {
            releaseTestDirectDraw(directDraw);
            return nullptr;
        }
    }
    return directDraw;
}

void releaseTestDirectDraw(IDirectDraw7* directDraw) {
    if (directDraw == nullptr) return;
    if (changedModes().erase(directDraw) != 0) directDraw->RestoreDisplayMode();
    directDraw->Release();
}

// Setting a display mode at DDSCL_NORMAL, even the current one, loses the surfaces that can be
// lost; restoring the mode the test found keeps the display as it was.
void loseAllSurfaces(IDirectDraw7* directDraw) {
    DDSURFACEDESC2 mode;
    ASSERT_TRUE(displayMode(directDraw, mode));
    ASSERT_EQ(DD_OK, directDraw->SetDisplayMode(mode.dwWidth, mode.dwHeight,
                                                mode.ddpfPixelFormat.dwRGBBitCount, 0, 0));
    if (changedModes().count(directDraw) == 0) directDraw->RestoreDisplayMode();
}

#else

IDirectDraw7* createTestDirectDraw(TestDisplayFormat format) {
    return softddraw::SoftDirectDraw::create(pixelFormatOf(format),
                                             softddraw::VideoMemory::Absent);
}

void releaseTestDirectDraw(IDirectDraw7* directDraw) {
    if (directDraw != nullptr) directDraw->Release();
}

void loseAllSurfaces(IDirectDraw7* directDraw) {
    softddraw::SoftDirectDraw* soft = asSoft(directDraw);
    ASSERT_NE(nullptr, soft);
    soft->loseAllSurfaces();
}

softddraw::SoftDirectDraw* asSoft(IDirectDraw7* directDraw) {
    return dynamic_cast<softddraw::SoftDirectDraw*>(directDraw);
}

#endif

}  // namespace ddtest
