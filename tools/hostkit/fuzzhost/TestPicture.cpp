#include "fuzzhost/TestPicture.h"

#include "image/ImageFiles.h"

namespace dd7rfuzz {

dd7rdemo::Image makePicture(std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    dd7rdemo::Image picture(width, height, 4);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const std::uint32_t kind = (state >> 16) % 8;
            const bool black = kind == 2;
            std::uint8_t* p = picture.pixel(x, y);
            p[0] = black ? 0 : static_cast<std::uint8_t>(state >> 8);
            p[1] = black ? 0 : static_cast<std::uint8_t>(state >> 13);
            p[2] = black ? 0 : static_cast<std::uint8_t>(state >> 21);
            p[3] = kind == 0 ? 0 : (kind == 1 ? 128 : 255);
        }
    }
    return picture;
}

// PNG at zlib's level 9: the seed corpora stay as small as they were committed.
std::vector<std::uint8_t> encodeInFormat(std::size_t format, const dd7rdemo::Image& picture) {
    switch (format) {
        case 0: return dd7rdemo::encodePng(picture, 9);
        case 1: return dd7rdemo::encodePng(dd7rdemo::withoutAlpha(picture), 9);
        case 2: return dd7rdemo::encodeJpeg(picture);
        case 3: return dd7rdemo::encodeBmp(picture, 24);
        case 4: return dd7rdemo::encodeBmp(picture, 32);
        case 5: return dd7rdemo::encodeTga(picture, 32, true);
        case 6: return dd7rdemo::encodeTga(picture, 24, false);
        default: return dd7rdemo::encodeGif(picture);
    }
}

}  // namespace dd7rfuzz
