#pragma once
// Every display layout a host's DirectDraw can show to the module: each drawable RGB mode,
// both 8-bit kinds, and 16/24/32-bit variants with and without alpha bits.

#include <cstddef>

#include "platform/DirectDraw.h"

namespace dd7rfuzz {

std::size_t displayLayoutCount();
DDPIXELFORMAT displayLayout(std::size_t index);  // index modulo the count
const char* displayLayoutName(std::size_t index);

}  // namespace dd7rfuzz
