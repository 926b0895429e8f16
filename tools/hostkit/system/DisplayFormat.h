#pragma once
// The display layouts a host of this kit draws in; the value is the name a user types.

namespace dd7rdemo {

enum class DisplayFormat { Rgb565 = 565, Rgb555 = 555, Xrgb32 = 32 };

const char* displayFormatName(DisplayFormat format);  // "565", "555", "32"

}  // namespace dd7rdemo
