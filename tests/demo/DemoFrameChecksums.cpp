#include "DemoFrameChecksums.h"

namespace dd7rdemo {

namespace {

// Rows: 565, 555, 32; columns: blend modes 0, 1, 2.
const FrameChecksums kChecksums[3][3] = {
    {{{0xca8f1d9f, 0x6b2ddcab, 0x295aa60e}},
     {{0xd9929503, 0xdbe1df67, 0xf8321882}},
     {{0x1c09555f, 0x1e7a1f3b, 0x3da9d8de}}},
    {{{0x0e065f6a, 0xc73cec72, 0xd5e10d37}},
     {{0xdc5a11fe, 0x46d5b396, 0xb9975b85}},
     {{0x37b4f80b, 0xad3b5a63, 0x5279b270}}},
    {{{0x56230212, 0x35270fcf, 0x57522d06}},
     {{0x06f2433f, 0x0547b1c9, 0xf18a0219}},
     {{0xef359d05, 0xec806ff3, 0x184ddc23}}},
};

int formatRow(DisplayFormat format) {
    switch (format) {
        case DisplayFormat::Rgb565: return 0;
        case DisplayFormat::Rgb555: return 1;
        case DisplayFormat::Xrgb32: break;
    }
    return 2;
}

}  // namespace

const FrameChecksums& referenceChecksums(DisplayFormat format, int blendMode) {
    return kChecksums[formatRow(format)][blendMode];
}

}  // namespace dd7rdemo
