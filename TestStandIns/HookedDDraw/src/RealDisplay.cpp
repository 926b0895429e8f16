#include "RealDisplay.h"

namespace ddtest {

namespace {

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

IDirectDraw7* openRealDirectDraw(const DDPIXELFORMAT& wanted, bool& modeChanged) {
    modeChanged = false;
    IDirectDraw7* directDraw = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw),
                                  IID_IDirectDraw7, nullptr)))
        return nullptr;
    if (FAILED(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        directDraw->Release();
        return nullptr;
    }
    if (!displayShows(directDraw, wanted)) {
        modeChanged = true;
        if (!switchDisplayTo(directDraw, wanted)) {
            closeRealDirectDraw(directDraw, modeChanged);
            return nullptr;
        }
    }
    return directDraw;
}

void closeRealDirectDraw(IDirectDraw7* directDraw, bool modeChanged) {
    if (directDraw == nullptr) return;
    if (modeChanged) directDraw->RestoreDisplayMode();
    directDraw->Release();
}

HRESULT loseRealSurfaces(IDirectDraw7* directDraw, bool modeChanged) {
    DDSURFACEDESC2 mode;
    if (!displayMode(directDraw, mode)) return DDERR_GENERIC;
    const HRESULT result = directDraw->SetDisplayMode(mode.dwWidth, mode.dwHeight,
                                                      mode.ddpfPixelFormat.dwRGBBitCount, 0, 0);
    if (!modeChanged) directDraw->RestoreDisplayMode();
    return result;
}

}  // namespace ddtest
