#pragma once
// Writes 8-bit RGB pictures as PNG files (stored deflate blocks), so a person can look at what
// a test drew. No compression: test frames are small.

#include <cstdint>
#include <string>
#include <vector>

namespace moduletest {

// The bytes of a PNG file of width x height pixels with 3 (RGB) or 4 (RGBA) bytes each, rows
// from the top.
std::vector<std::uint8_t> encodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    const std::vector<std::uint8_t>& pixels);

// rgb holds width x height pixels, three bytes each, rows from the top. False when the file
// cannot be written.
bool writePng(const std::string& path, std::uint32_t width, std::uint32_t height,
              const std::vector<std::uint8_t>& rgb);

}  // namespace moduletest
