#include "TestDirectDraw.h"

#include "SurfacePixels.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <map>

#include "RealDisplay.h"
#endif

namespace ddtest {

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

bool modeChangedFor(IDirectDraw7* directDraw) { return changedModes().count(directDraw) != 0; }

}  // namespace

IDirectDraw7* createTestDirectDraw(TestDisplayFormat format) {
    bool modeChanged = false;
    IDirectDraw7* directDraw = openRealDirectDraw(pixelFormatOf(format), modeChanged);
    if (directDraw != nullptr && modeChanged) changedModes()[directDraw] = true;
    return directDraw;
}

void releaseTestDirectDraw(IDirectDraw7* directDraw) {
    const bool modeChanged = modeChangedFor(directDraw);
    changedModes().erase(directDraw);
    closeRealDirectDraw(directDraw, modeChanged);
}

void loseAllSurfaces(IDirectDraw7* directDraw) {
    ASSERT_EQ(DD_OK, loseRealSurfaces(directDraw, modeChangedFor(directDraw)));
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
