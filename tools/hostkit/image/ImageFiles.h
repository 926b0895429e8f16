#pragma once
// Image files written by the hosts, tools and tests: PNG (8-bit RGB or RGBA, zlib), BMP (24- or
// 32-bit), TGA (uncompressed, 24- or 32-bit), GIF (a fixed 3-3-2 palette) and JPEG. The demo
// saves its frames with them, the replay its report, and the fuzz hosts and tests feed the
// module's image loading real files of every format it reads. An encoder returns no bytes when
// it cannot encode the image; the write functions return false when the file cannot be written.

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dd7rdemo {

// 3 (RGB) or 4 (RGBA) channels. The level is zlib's (1 fastest .. 9 smallest).
std::vector<std::uint8_t> encodePng(const Image& image, int compressionLevel = 6);
// 24 bits drop the alpha, 32 bits keep it.
std::vector<std::uint8_t> encodeBmp(const Image& image, int bitsPerPixel = 24);
std::vector<std::uint8_t> encodeTga(const Image& image, int bitsPerPixel, bool topDown);
std::vector<std::uint8_t> encodeGif(const Image& image);
std::vector<std::uint8_t> encodeJpeg(const Image& image);

// The same picture without its alpha channel (a copy when it has none).
Image withoutAlpha(const Image& image);

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool writePng(const std::string& path, const Image& image);
bool writeBmp(const std::string& path, const Image& image);

}  // namespace dd7rdemo
