#pragma once
// Writing images as files: PNG (8-bit RGB or RGBA, zlib-compressed) and BMP (24-bit). Both
// return false when the file cannot be written.

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dd7rdemo {

std::vector<std::uint8_t> encodePng(const Image& image);
std::vector<std::uint8_t> encodeBmp(const Image& image);  // alpha, if any, is dropped

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool writePng(const std::string& path, const Image& image);
bool writeBmp(const std::string& path, const Image& image);

}  // namespace dd7rdemo
