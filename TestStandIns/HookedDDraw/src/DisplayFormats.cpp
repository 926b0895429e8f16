#include "TestDisplayFormat.h"

#include "softddraw/PixelFormats.h"

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

}  // namespace ddtest
