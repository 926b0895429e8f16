#pragma once
// One logged DirectDraw call: what was passed and what came back. Records compare field by
// field, so a test can build the calls it expects and compare whole sequences.

#include "platform/DirectDraw.h"
#include "softddraw/Operation.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace softddraw {

// The DDBLTFX fields a blit reads.
struct BltFxRecord {
    DWORD size = 0;
    DWORD fillColor = 0;
    DDCOLORKEY sourceKey{};
};

// The DDSURFACEDESC2 fields CreateSurface reads; for Lock, what the caller asked for (size,
// flags and, with DDSD_PIXELFORMAT, the pixel format record as passed in).
struct SurfaceDescRecord {
    DWORD size = 0;
    DWORD flags = 0;
    DWORD caps = 0;
    DWORD width = 0;
    DWORD height = 0;
    std::optional<DDPIXELFORMAT> pixelFormat;  // present when DDSD_PIXELFORMAT was given
    std::optional<DDCOLORKEY> sourceKey;       // present when DDSD_CKSRCBLT was given
};

struct CallRecord {
    Operation operation = Operation::CreateSurface;
    // The surface called (for CreateSurface: the surface created, or null).
    const IDirectDrawSurface7* surface = nullptr;
    DWORD flags = 0;  // Blt, BltFast (trans), Lock, SetColorKey, GetColorKey flags
    std::optional<RECT> destRect;  // Blt destination, Lock and Unlock rectangle
    const IDirectDrawSurface7* source = nullptr;
    std::optional<RECT> sourceRect;
    DWORD x = 0;  // BltFast position
    DWORD y = 0;
    std::optional<BltFxRecord> fx;
    std::optional<SurfaceDescRecord> desc;
    std::optional<DDCOLORKEY> colorKey;  // SetColorKey input, GetColorKey output on success
    HRESULT result = DD_OK;
};

SurfaceDescRecord lockRequestOf(const DDSURFACEDESC2& desc);

bool operator==(const BltFxRecord& a, const BltFxRecord& b);
bool operator==(const SurfaceDescRecord& a, const SurfaceDescRecord& b);
bool operator==(const CallRecord& a, const CallRecord& b);
inline bool operator!=(const CallRecord& a, const CallRecord& b) { return !(a == b); }

std::string describe(const CallRecord& record);
std::ostream& operator<<(std::ostream& out, const CallRecord& record);

}  // namespace softddraw
