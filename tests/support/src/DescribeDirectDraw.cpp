#include "SurfacePixels.h"

#include <cstdio>

namespace ddtest {

namespace {

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

struct NamedResult {
    std::uint32_t code;
    const char* name;
};

constexpr NamedResult kResultNames[] = {
    {0x00000000u, "DD_OK"},
    {0x80004001u, "DDERR_UNSUPPORTED"},
    {0x80004002u, "E_NOINTERFACE"},
    {0x80004005u, "DDERR_GENERIC"},
    {0x80070057u, "DDERR_INVALIDPARAMS"},
    {0x8007000Eu, "DDERR_OUTOFMEMORY"},
    {0x88760064u, "DDERR_INVALIDCAPS"},
    {0x88760082u, "DDERR_INVALIDOBJECT"},
    {0x88760091u, "DDERR_INVALIDPIXELFORMAT"},
    {0x88760096u, "DDERR_INVALIDRECT"},
    {0x887600D4u, "DDERR_NOCOOPERATIVELEVELSET"},
    {0x887600D7u, "DDERR_NOCOLORKEY"},
    {0x887600DCu, "DDERR_NOCOLORKEYHW"},
    {0x887600E1u, "DDERR_NOEXCLUSIVEMODE"},
    {0x8876017Cu, "DDERR_OUTOFVIDEOMEMORY"},
    {0x887601AEu, "DDERR_SURFACEBUSY"},
    {0x887601C2u, "DDERR_SURFACELOST"},
    {0x88760233u, "DDERR_NODIRECTDRAWHW"},
    {0x8876023Cu, "DDERR_NOPALETTEATTACHED"},
    {0x88760248u, "DDERR_NOTLOCKED"},
    {0x8876024Bu, "DDERR_WRONGMODE"},
};

}  // namespace

std::string describe(const DDPIXELFORMAT& format) {
    return "pf{flags=" + hex(format.dwFlags) + " bpp=" + std::to_string(format.dwRGBBitCount) +
           " r=" + hex(format.dwRBitMask) + " g=" + hex(format.dwGBitMask) +
           " b=" + hex(format.dwBBitMask) + " a=" + hex(format.dwRGBAlphaBitMask) + "}";
}

std::string resultName(HRESULT result) {
    const auto code = static_cast<std::uint32_t>(result);
    for (const NamedResult& named : kResultNames)
        if (named.code == code) return hex(code) + " " + named.name;
    return hex(code);
}

}  // namespace ddtest
