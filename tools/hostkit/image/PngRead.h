#pragma once
// Reads back the PNG files the replay and the demo write (8-bit RGB or RGBA, not interlaced)
// for comparison. Anything else, or a damaged file, gives an empty image and an error.

#include <string>

#include "image/Image.h"

namespace dd7rreplay {

dd7rdemo::Image readPng(const std::string& path, std::string& error);

}  // namespace dd7rreplay
