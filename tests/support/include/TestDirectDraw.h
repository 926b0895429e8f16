#pragma once
// One DirectDraw for tests in both builds: the software stand-in natively, the real
// DirectDraw 7 on Windows (and under Wine). Tests written against these functions run
// unchanged on both; tests that need the stand-in's hooks are guarded by DD7R_TEST_SOFT_DDRAW.

#include "TestDisplayFormat.h"
#include "platform/DirectDraw.h"
#include "softddraw/PixelFormats.h"

#include <memory>
#include <optional>

#if DD7R_TEST_SOFT_DDRAW
#include "softddraw/SoftDirectDraw.h"
#endif

namespace ddtest {

// A DirectDraw object whose display has that pixel layout, at DDSCL_NORMAL; null when this
// DirectDraw cannot show the layout. The stand-in behaves like Wine: no video memory.
IDirectDraw7* createTestDirectDraw(TestDisplayFormat format = TestDisplayFormat::Xrgb32);
// Drops the reference createTestDirectDraw returned and restores the display mode.
void releaseTestDirectDraw(IDirectDraw7* directDraw);

struct TestDirectDrawReleaser {
    void operator()(IDirectDraw7* directDraw) const { releaseTestDirectDraw(directDraw); }
};
using TestDirectDrawPtr = std::unique_ptr<IDirectDraw7, TestDirectDrawReleaser>;

// Loses every surface that can be lost, as a display mode change does.
void loseAllSurfaces(IDirectDraw7* directDraw);

#if DD7R_TEST_SOFT_DDRAW
// The stand-in behind a test DirectDraw (native build only).
softddraw::SoftDirectDraw* asSoft(IDirectDraw7* directDraw);
#endif

enum class MemoryCaps { System, Video, None };
DWORD capsOf(MemoryCaps memory);  // OFFSCREENPLAIN plus the memory cap

struct SurfaceRequest {
    DWORD width = 1;
    DWORD height = 1;
    std::optional<DDPIXELFORMAT> format;  // absent: the display format
    MemoryCaps memory = MemoryCaps::System;
    std::optional<DDCOLORKEY> sourceKey;
};

DDSURFACEDESC2 surfaceDescFor(const SurfaceRequest& request);
HRESULT createSurface(IDirectDraw7* directDraw, const SurfaceRequest& request,
                      IDirectDrawSurface7** surface);
// A surface, or null after reporting a test failure.
IDirectDrawSurface7* createTestSurface(IDirectDraw7* directDraw, DWORD width, DWORD height,
                                       const std::optional<DDPIXELFORMAT>& format = std::nullopt,
                                       MemoryCaps memory = MemoryCaps::System);

struct SurfaceReleaser {
    void operator()(IDirectDrawSurface7* surface) const { surface->Release(); }
};
using SurfacePtr = std::unique_ptr<IDirectDrawSurface7, SurfaceReleaser>;

}  // namespace ddtest
