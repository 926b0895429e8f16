#include "ImageFileWriters.h"

#include <turbojpeg.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace dd7rfuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16le(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32le(Bytes& out, std::uint32_t value) {
    put16le(out, value & 0xFFFF);
    put16le(out, value >> 16);
}

void put32be(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

const std::uint8_t* pixelAt(const RgbaPicture& picture, std::uint32_t x, std::uint32_t y) {
    return &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
}

// Blue, green, red (and alpha) of one pixel, as BMP and TGA store them.
void putBgr(Bytes& out, const std::uint8_t* pixel, bool withAlpha) {
    out.push_back(pixel[2]);
    out.push_back(pixel[1]);
    out.push_back(pixel[0]);
    if (withAlpha) out.push_back(pixel[3]);
}

void appendPngChunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    put32be(out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// Codes of a fixed 9-bit width, packed from the lowest bit, in sub-blocks of at most 255 bytes.
class GifCodeWriter {
public:
    void code(std::uint32_t value) {
        bits_ |= value << bitCount_;
        bitCount_ += 9;
        while (bitCount_ >= 8) {
            packed_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }
    void finishInto(Bytes& out) {
        if (bitCount_ > 0) packed_.push_back(static_cast<std::uint8_t>(bits_));
        for (std::size_t at = 0; at < packed_.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, packed_.size() - at);
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), packed_.begin() + static_cast<std::ptrdiff_t>(at),
                       packed_.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        out.push_back(0);
    }

private:
    Bytes packed_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

}  // namespace

RgbaPicture makePicture(std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    RgbaPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t kind = (state >> 16) % 8;
        const std::uint8_t alpha = kind == 0 ? 0 : (kind == 1 ? 128 : 255);
        const bool black = kind == 2;
        picture.rgba[i] = black ? 0 : static_cast<std::uint8_t>(state >> 8);
        picture.rgba[i + 1] = black ? 0 : static_cast<std::uint8_t>(state >> 13);
        picture.rgba[i + 2] = black ? 0 : static_cast<std::uint8_t>(state >> 21);
        picture.rgba[i + 3] = alpha;
    }
    return picture;
}

std::vector<std::uint8_t> encodeBmp(const RgbaPicture& picture, int bitsPerPixel) {
    const bool withAlpha = bitsPerPixel == 32;
    const std::uint32_t rowBytes = picture.width * (withAlpha ? 4 : 3);
    const std::uint32_t paddedRow = (rowBytes + 3) & ~3u;
    const std::uint32_t pixelBytes = paddedRow * picture.height;
    Bytes out{'B', 'M'};
    put32le(out, 14 + 40 + pixelBytes);
    put32le(out, 0);
    put32le(out, 14 + 40);
    put32le(out, 40);
    put32le(out, picture.width);
    put32le(out, picture.height);  // positive: rows bottom-up
    put16le(out, 1);
    put16le(out, withAlpha ? 32 : 24);
    put32le(out, 0);  // BI_RGB
    put32le(out, pixelBytes);
    put32le(out, 2835);
    put32le(out, 2835);
    put32le(out, 0);
    put32le(out, 0);
    for (std::uint32_t row = picture.height; row-- > 0;) {
        for (std::uint32_t x = 0; x < picture.width; ++x) putBgr(out, pixelAt(picture, x, row), withAlpha);
        out.insert(out.end(), paddedRow - rowBytes, 0);
    }
    return out;
}

std::vector<std::uint8_t> encodeTga(const RgbaPicture& picture, int bitsPerPixel, bool topDown) {
    const bool withAlpha = bitsPerPixel == 32;
    Bytes out{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // uncompressed true colour
    put16le(out, picture.width);
    put16le(out, picture.height);
    out.push_back(static_cast<std::uint8_t>(withAlpha ? 32 : 24));
    out.push_back(static_cast<std::uint8_t>((topDown ? 0x20 : 0) | (withAlpha ? 8 : 0)));
    for (std::uint32_t i = 0; i < picture.height; ++i) {
        const std::uint32_t row = topDown ? i : picture.height - 1 - i;
        for (std::uint32_t x = 0; x < picture.width; ++x) putBgr(out, pixelAt(picture, x, row), withAlpha);
    }
    return out;
}

std::vector<std::uint8_t> encodePng(const RgbaPicture& picture, bool withAlpha) {
    const std::uint32_t channels = withAlpha ? 4 : 3;
    Bytes raw;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // filter: none
        for (std::uint32_t x = 0; x < picture.width; ++x)
            raw.insert(raw.end(), pixelAt(picture, x, y), pixelAt(picture, x, y) + channels);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return {};
    packed.resize(packedSize);

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32be(header, picture.width);
    put32be(header, picture.height);
    header.insert(header.end(), {8, static_cast<std::uint8_t>(withAlpha ? 6 : 2), 0, 0, 0});
    appendPngChunk(out, "IHDR", header);
    appendPngChunk(out, "IDAT", packed);
    appendPngChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> encodeJpeg(const RgbaPicture& picture) {
    tjhandle handle = tjInitCompress();
    if (handle == nullptr) return {};
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int result = tjCompress2(handle, picture.rgba.data(), static_cast<int>(picture.width), 0,
                                   static_cast<int>(picture.height), TJPF_RGBA, &jpeg, &jpegSize,
                                   TJSAMP_420, 80, 0);
    Bytes out;
    if (result == 0) out.assign(jpeg, jpeg + jpegSize);
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

std::vector<std::uint8_t> encodeGif(const RgbaPicture& picture) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    put16le(out, picture.width);
    put16le(out, picture.height);
    out.insert(out.end(), {0xF7, 0, 0});  // global table of 256 colours
    for (std::uint32_t index = 0; index < 256; ++index) {
        out.push_back(static_cast<std::uint8_t>((index >> 5) * 255 / 7));
        out.push_back(static_cast<std::uint8_t>(((index >> 2) & 7) * 255 / 7));
        out.push_back(static_cast<std::uint8_t>((index & 3) * 255 / 3));
    }
    out.push_back(0x2C);
    put16le(out, 0);
    put16le(out, 0);
    put16le(out, picture.width);
    put16le(out, picture.height);
    out.push_back(0);
    out.push_back(8);  // minimum code size

    // Literal codes only, with a clear code often enough that the code width stays 9 bits.
    constexpr std::uint32_t kClear = 256;
    constexpr std::uint32_t kEnd = 257;
    GifCodeWriter codes;
    std::uint32_t sinceClear = 0;
    codes.code(kClear);
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        if (sinceClear == 250) {
            codes.code(kClear);
            sinceClear = 0;
        }
        const std::uint8_t* p = &picture.rgba[i];
        codes.code(static_cast<std::uint32_t>((p[0] >> 5) << 5 | (p[1] >> 5) << 2 | (p[2] >> 6)));
        ++sinceClear;
    }
    codes.code(kEnd);
    codes.finishInto(out);
    out.push_back(0x3B);
    return out;
}

}  // namespace dd7rfuzz
