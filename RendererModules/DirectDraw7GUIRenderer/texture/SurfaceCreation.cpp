// Every DirectDraw surface the module makes is made here, and every creation failure gets its
// message here.

#include <cstdio>
#include <stdexcept>
#include <string>

#include "diagnostics/CallWitness.h"
#include "diagnostics/DDErrorNames.h"
#include "diagnostics/ReportedFailure.h"
#include "interface/RendererDevice.h"
#include "platform/Rgb16PixelFormat.h"
#include "texture/CDD7Texture.h"
#include "texture/SurfaceCreation.h"
#include "platform/HostExceptions.h"

namespace ZelUISystem {

namespace {

// Answers of the device's texture pixel format query that name a 16-bit layout.
constexpr int kPixelFormat565 = 565;
constexpr int kPixelFormat555 = 555;

DWORD memoryCapsFor(int surfaceMemory) {
    switch (surfaceMemory) {
        case 1: return DDSCAPS_VIDEOMEMORY;
        case 2: return 0;  // DirectDraw chooses
        default: return DDSCAPS_SYSTEMMEMORY;
    }
}

void applyTexturePixelFormat(DDSURFACEDESC2& desc, int answer) {
    if (answer == kPixelFormat565) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = rgb16PixelFormat(0xF800, 0x07E0, 0x001F);
    } else if (answer == kPixelFormat555) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = rgb16PixelFormat(0x7C00, 0x03E0, 0x001F);
    }
}

// Each code's text: its name (or the name it shares a text with) in parentheses, with the
// blanks that text has always had around them.
struct CreationFailureText {
    HRESULT code;
    HRESULT namedAs;
    const char* before;
    const char* after;
};

constexpr CreationFailureText kCreationFailureTexts[] = {
    {DDERR_INCOMPATIBLEPRIMARY, DDERR_INCOMPATIBLEPRIMARY, "", " "},
    {DDERR_INVALIDCAPS, DDERR_INVALIDCAPS, "", " "},
    {DDERR_INVALIDOBJECT, DDERR_INCOMPATIBLEPRIMARY, "", " "},
    {DDERR_INVALIDPIXELFORMAT, DDERR_INVALIDPIXELFORMAT, "", ""},
    {DDERR_NOALPHAHW, DDERR_NOALPHAHW, " ", ""},
    {DDERR_NOCOOPERATIVELEVELSET, DDERR_NOCOOPERATIVELEVELSET, " ", ""},
    {DDERR_NOFLIPHW, DDERR_NOFLIPHW, " ", ""},
    {DDERR_NOOVERLAYHW, DDERR_NOOVERLAYHW, " ", ""},
    {DDERR_OUTOFVIDEOMEMORY, DDERR_OUTOFVIDEOMEMORY, " ", ""},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, DDERR_PRIMARYSURFACEALREADYEXISTS, " ", ""},
    {DDERR_OUTOFMEMORY, DDERR_OUTOFMEMORY, " ", ""},
    {DDERR_INVALIDPARAMS, DDERR_INVALIDPARAMS, "", " "},
};

// The largest side and byte count any DirectDraw can make. Implementations differ beyond them:
// one refuses the size, another makes a surface that cannot be locked, another crashes inside
// the call. The byte count assumes 4 bytes a pixel, the widest layout a display can have.
constexpr std::uint32_t kMaxSurfaceSide = 32768;
constexpr std::uint64_t kMaxSurfaceBytes = 0x7FFFFFFF;

bool directDrawCanMake(std::uint32_t width, std::uint32_t height) {
    return width != 0 && height != 0 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
           std::uint64_t{width} * height * 4 <= kMaxSurfaceBytes;
}

}  // namespace

std::string surfaceCreationFailureText(HRESULT result) {
    const std::string head = "CDD7Texture::CreateSurface -- Failed to create Texture object.";
    for (const CreationFailureText& text : kCreationFailureTexts)
        if (text.code == result)
            return head + text.before + "(" + ddErrorName(text.namedAs) + ")" + text.after;
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08x", static_cast<unsigned>(result));
    return head + " (UNKNOWN " + code + ")";
}

void CDD7Texture::CreateSurface(std::uint32_t width, std::uint32_t height,
                                IDirectDrawSurface7** out, bool colourKeyed) {
    *out = nullptr;
    // Refused as DirectDraw refuses a size it cannot make, without asking it.
    if (!directDrawCanMake(width, height)) raiseReported(surfaceCreationFailureText(DDERR_INVALIDPARAMS));
    // After a reset notification that found no DirectDraw object there is nothing to create
    // surfaces with: as without a cooperative level, the texture stays without a surface.
    IDirectDraw7* directDraw = device_.directDraw;
    if (directDraw == nullptr || FAILED(directDraw->TestCooperativeLevel())) return;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    if (colourKeyed) desc.dwFlags |= DDSD_CKSRCBLT;  // the key stays {0, 0}: black
    desc.dwWidth = width;
    desc.dwHeight = height;
    RendererDevice* device = device_.device;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN |
                          memoryCapsFor(callHost([&] { return device->querySurfaceMemory(); }));
    applyTexturePixelFormat(desc, callHost([&] { return device->queryTexturePixelFormat(); }));

    const HRESULT result = directDraw->CreateSurface(&desc, out, nullptr);
    if (callWitness != nullptr) callWitness->surfaceAnswered(desc, result, *out);
    if (SUCCEEDED(result) && *out != nullptr) return;
    *out = nullptr;
    raiseReported(surfaceCreationFailureText(result));
}

}  // namespace ZelUISystem
