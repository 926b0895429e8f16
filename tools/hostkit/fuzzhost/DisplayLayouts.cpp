#include "fuzzhost/DisplayLayouts.h"

#include <iterator>

#include "softddraw/PixelFormats.h"

namespace dd7rfuzz {

namespace {

struct NamedLayout {
    const char* name;
    DDPIXELFORMAT (*make)();
};

const NamedLayout kLayouts[] = {
    {"xrgb32", [] { return softddraw::xrgb32Format(); }},
    {"argb32", [] { return softddraw::argb32Format(); }},
    {"rgb24", [] { return softddraw::rgb24Format(); }},
    {"bgr24", [] { return softddraw::rgbPixelFormat(24, 0x0000FF, 0x00FF00, 0xFF0000); }},
    {"rgb565", [] { return softddraw::rgb565Format(); }},
    {"rgb555", [] { return softddraw::rgb555Format(); }},
    {"argb1555", [] { return softddraw::rgbPixelFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000); }},
    {"xrgb4444", [] { return softddraw::rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F); }},
    {"argb4444", [] { return softddraw::rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000); }},
    {"rgb332", [] { return softddraw::rgbPixelFormat(8, 0xE0, 0x1C, 0x03); }},
    {"palettized8", [] { return softddraw::palettized8Format(); }},
};

}  // namespace

std::size_t displayLayoutCount() { return std::size(kLayouts); }

DDPIXELFORMAT displayLayout(std::size_t index) { return kLayouts[index % std::size(kLayouts)].make(); }

const char* displayLayoutName(std::size_t index) { return kLayouts[index % std::size(kLayouts)].name; }

}  // namespace dd7rfuzz
