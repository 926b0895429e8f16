#pragma once
// Small image files of every format the image library reads, written here so that the seed
// corpora, the call-sequence fuzz target and the fault matrix have real files to load.

#include <cstdint>
#include <vector>

namespace dd7rfuzz {

// Pixels top-down, four bytes each: red, green, blue, alpha.
struct RgbaPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// A deterministic picture with opaque, translucent, transparent and black pixels.
RgbaPicture makePicture(std::uint32_t width, std::uint32_t height, std::uint32_t seed);

std::vector<std::uint8_t> encodeBmp(const RgbaPicture& picture, int bitsPerPixel);  // 24 or 32
std::vector<std::uint8_t> encodeTga(const RgbaPicture& picture, int bitsPerPixel, bool topDown);
std::vector<std::uint8_t> encodePng(const RgbaPicture& picture, bool withAlpha);
std::vector<std::uint8_t> encodeJpeg(const RgbaPicture& picture);  // empty when encoding fails
std::vector<std::uint8_t> encodeGif(const RgbaPicture& picture);   // 3-3-2 palette

}  // namespace dd7rfuzz
