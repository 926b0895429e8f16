#pragma once
// The picture the fuzz hosts, the seed corpora, the soak and the reliability suites encode into
// image files of every format the module reads.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/Image.h"

namespace dd7rfuzz {

// Deterministic RGBA pixels with opaque, translucent, transparent and black ones.
dd7rdemo::Image makePicture(std::uint32_t width, std::uint32_t height, std::uint32_t seed);

// The image file formats the module reads, numbered: 0 RGBA PNG, 1 RGB PNG, 2 JPEG, 3 24-bit
// BMP, 4 32-bit BMP, 5 top-down 32-bit TGA, 6 bottom-up 24-bit TGA, 7 (and above) GIF.
constexpr std::size_t kImageFormatCount = 8;
std::vector<std::uint8_t> encodeInFormat(std::size_t format, const dd7rdemo::Image& picture);

}  // namespace dd7rfuzz
