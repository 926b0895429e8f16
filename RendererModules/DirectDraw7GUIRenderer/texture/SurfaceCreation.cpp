// Every DirectDraw surface the module makes is made here, and every creation failure gets its
// message here.

#include <cstdio>
#include <stdexcept>
#include <string>

#include "module/ModuleLogger.h"
#include "platform/RendererDevice.h"
#include "renderer/CDD7Render.h"
#include "texture/CDD7Texture.h"

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

void setRGB16Format(DDPIXELFORMAT& format, DWORD red, DWORD green, DWORD blue) {
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 16;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
}

void applyTexturePixelFormat(DDSURFACEDESC2& desc, int answer) {
    if (answer == kPixelFormat565) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        setRGB16Format(desc.ddpfPixelFormat, 0xF800, 0x07E0, 0x001F);
    } else if (answer == kPixelFormat555) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        setRGB16Format(desc.ddpfPixelFormat, 0x7C00, 0x03E0, 0x001F);
    }
}

std::string creationFailureText(HRESULT result) {
    const std::string head = "CDD7Texture::CreateSurface -- Failed to create Texture object.";
    switch (static_cast<std::uint32_t>(result)) {
        case 0x8876005Fu:
        case 0x88760082u: return head + "(DDERR_INCOMPATIBLEPRIMARY) ";
        case 0x88760064u: return head + "(DDERR_INVALIDCAPS) ";
        case 0x88760091u: return head + "(DDERR_INVALIDPIXELFORMAT)";
        case 0x887600B4u: return head + " (DDERR_NOALPHAHW)";
        case 0x887600D4u: return head + " (DDERR_NOCOOPERATIVELEVELSET)";
        case 0x887600E6u: return head + " (DDERR_NOFLIPHW)";
        case 0x88760104u: return head + " (DDERR_NOOVERLAYHW)";
        case 0x8876017Cu: return head + " (DDERR_OUTOFVIDEOMEMORY)";
        case 0x88760234u: return head + " (DDERR_PRIMARYSURFACEALREADYEXISTS)";
        case 0x8007000Eu: return head + " (DDERR_OUTOFMEMORY)";
        case 0x80070057u: return head + "(DDERR_INVALIDPARAMS) ";
        default: {
            char code[16];
            std::snprintf(code, sizeof(code), "0x%08x", static_cast<unsigned>(result));
            return head + " (UNKNOWN " + code + ")";
        }
    }
}

}  // namespace

void CDD7Texture::CreateSurface(std::uint32_t width, std::uint32_t height,
                                IDirectDrawSurface7** out, bool colourKeyed) {
    *out = nullptr;
    // After a reset notification that found no DirectDraw object there is nothing to create
    // surfaces with: as without a cooperative level, the texture stays without a surface.
    IDirectDraw7* directDraw = owner->directDraw();
    if (directDraw == nullptr || FAILED(directDraw->TestCooperativeLevel())) return;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    if (colourKeyed) desc.dwFlags |= DDSD_CKSRCBLT;  // the key stays {0, 0}: black
    desc.dwWidth = width;
    desc.dwHeight = height;
    RendererDevice* device = owner->device();
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memoryCapsFor(device->querySurfaceMemory());
    applyTexturePixelFormat(desc, device->queryTexturePixelFormat());

    const HRESULT result = directDraw->CreateSurface(&desc, out, nullptr);
    if (SUCCEEDED(result) && *out != nullptr) return;
    *out = nullptr;
    const std::string message = creationFailureText(result);
    reportFatal(message.c_str());
    throw std::runtime_error(message);
}

}  // namespace ZelUISystem
