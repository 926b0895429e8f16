#include "host/DemoDevice.h"

namespace dd7rdemo {

DemoDevice::DemoDevice(IDirectDraw7* directDraw, unsigned width, unsigned height, int blendMode,
                       DisplayFormat format)
    : directDraw_(directDraw),
      width_(static_cast<float>(width)),
      height_(static_cast<float>(height)),
      blendMode_(blendMode),
      format_(format) {}

void DemoDevice::queryDisplaySize(float* width, float* height) {
    if (width != nullptr) *width = width_;
    if (height != nullptr) *height = height_;
}

// 565 and 555 name the 16-bit layouts; 0 leaves the layout to the display.
int DemoDevice::queryTexturePixelFormat() {
    switch (format_) {
        case DisplayFormat::Rgb565: return 565;
        case DisplayFormat::Rgb555: return 555;
        case DisplayFormat::Xrgb32: break;
    }
    return 0;
}

}  // namespace dd7rdemo
