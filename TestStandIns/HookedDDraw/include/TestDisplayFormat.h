#pragma once
// The five display layouts tests and hosts ask a DirectDraw for, by name, in both builds.

#include "platform/DirectDraw.h"

namespace ddtest {

enum class TestDisplayFormat { Palettized8, Rgb555, Rgb565, Rgb24, Xrgb32 };

DDPIXELFORMAT pixelFormatOf(TestDisplayFormat format);
const char* displayFormatName(TestDisplayFormat format);

}  // namespace ddtest
