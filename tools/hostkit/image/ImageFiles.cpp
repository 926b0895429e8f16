#include "image/ImageFiles.h"

#include <turbojpeg.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace dd7rdemo {

namespace {

using Bytes = std::vector<std::uint8_t>;

void putLittleEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putBigEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool hasRgb(const Image& image) {
    return !image.empty() && (image.channels() == 3 || image.channels() == 4);
}

// Blue, green, red (and alpha: opaque where the image has none), as BMP and TGA store a pixel.
void putBgr(Bytes& out, const Image& image, unsigned x, unsigned y, bool withAlpha) {
    const std::uint8_t* p = image.pixel(x, y);
    out.push_back(p[2]);
    out.push_back(p[1]);
    out.push_back(p[0]);
    if (withAlpha) out.push_back(image.channels() == 4 ? p[3] : 255);
}

// A PNG chunk: length, type, data, and the CRC of type and data.
void appendChunk(Bytes& out, const char type[4], const Bytes& data) {
    putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
    putBigEndian32(out, static_cast<std::uint32_t>(crc));
}

// Every row prefixed by filter type 0 (none), then deflated.
Bytes compressedRows(const Image& image, int level) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * image.channels();
    Bytes raw;
    raw.reserve((rowBytes + 1) * image.height());
    for (unsigned y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        const std::uint8_t* row = image.pixel(0, y);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

// GIF codes of a fixed 9-bit width, packed from the lowest bit, in sub-blocks of at most 255
// bytes.
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

std::vector<std::uint8_t> encodePng(const Image& image, int compressionLevel) {
    if (!hasRgb(image)) return {};
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBigEndian32(header, image.width());
    putBigEndian32(header, image.height());
    header.push_back(8);                               // bits per channel
    header.push_back(image.channels() == 4 ? 6 : 2);   // colour type: RGBA or RGB
    header.push_back(0);                               // deflate
    header.push_back(0);                               // adaptive filtering
    header.push_back(0);                               // no interlace
    appendChunk(out, "IHDR", header);
    const Bytes data = compressedRows(image, compressionLevel);
    if (data.empty()) return {};
    appendChunk(out, "IDAT", data);
    appendChunk(out, "IEND", {});
    return out;
}

// Rows bottom-up, each padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp(const Image& image, int bitsPerPixel) {
    if (!hasRgb(image) || (bitsPerPixel != 24 && bitsPerPixel != 32)) return {};
    const bool withAlpha = bitsPerPixel == 32;
    const std::uint32_t rowBytes = image.width() * (withAlpha ? 4 : 3);
    const std::uint32_t paddedRow = (rowBytes + 3) & ~3u;
    const std::uint32_t pixelBytes = paddedRow * image.height();
    const std::uint32_t headerBytes = 14 + 40;
    Bytes out{'B', 'M'};
    putLittleEndian(out, headerBytes + pixelBytes, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, headerBytes, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, image.width(), 4);
    putLittleEndian(out, image.height(), 4);  // positive: rows bottom-up
    putLittleEndian(out, 1, 2);               // planes
    putLittleEndian(out, static_cast<std::uint32_t>(bitsPerPixel), 2);
    putLittleEndian(out, 0, 4);  // no compression
    putLittleEndian(out, pixelBytes, 4);
    putLittleEndian(out, 2835, 4);  // 72 dpi
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 0, 4);
    for (unsigned y = image.height(); y-- > 0;) {
        for (unsigned x = 0; x < image.width(); ++x) putBgr(out, image, x, y, withAlpha);
        out.insert(out.end(), paddedRow - rowBytes, 0);
    }
    return out;
}

std::vector<std::uint8_t> encodeTga(const Image& image, int bitsPerPixel, bool topDown) {
    if (!hasRgb(image) || (bitsPerPixel != 24 && bitsPerPixel != 32)) return {};
    const bool withAlpha = bitsPerPixel == 32;
    Bytes out{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // uncompressed true colour
    putLittleEndian(out, image.width(), 2);
    putLittleEndian(out, image.height(), 2);
    out.push_back(static_cast<std::uint8_t>(bitsPerPixel));
    out.push_back(static_cast<std::uint8_t>((topDown ? 0x20 : 0) | (withAlpha ? 8 : 0)));
    for (unsigned i = 0; i < image.height(); ++i) {
        const unsigned y = topDown ? i : image.height() - 1 - i;
        for (unsigned x = 0; x < image.width(); ++x) putBgr(out, image, x, y, withAlpha);
    }
    return out;
}

std::vector<std::uint8_t> encodeGif(const Image& image) {
    if (!hasRgb(image)) return {};
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    putLittleEndian(out, image.width(), 2);
    putLittleEndian(out, image.height(), 2);
    out.insert(out.end(), {0xF7, 0, 0});  // global table of 256 colours
    for (std::uint32_t index = 0; index < 256; ++index) {
        out.push_back(static_cast<std::uint8_t>((index >> 5) * 255 / 7));
        out.push_back(static_cast<std::uint8_t>(((index >> 2) & 7) * 255 / 7));
        out.push_back(static_cast<std::uint8_t>((index & 3) * 255 / 3));
    }
    out.push_back(0x2C);
    putLittleEndian(out, 0, 2);
    putLittleEndian(out, 0, 2);
    putLittleEndian(out, image.width(), 2);
    putLittleEndian(out, image.height(), 2);
    out.push_back(0);
    out.push_back(8);  // minimum code size

    // Literal codes only, with a clear code often enough that the code width stays 9 bits.
    constexpr std::uint32_t kClear = 256;
    constexpr std::uint32_t kEnd = 257;
    GifCodeWriter codes;
    std::uint32_t sinceClear = 0;
    codes.code(kClear);
    for (unsigned y = 0; y < image.height(); ++y) {
        for (unsigned x = 0; x < image.width(); ++x) {
            if (sinceClear == 250) {
                codes.code(kClear);
                sinceClear = 0;
            }
            const std::uint8_t* p = image.pixel(x, y);
            codes.code(static_cast<std::uint32_t>((p[0] >> 5) << 5 | (p[1] >> 5) << 2 | (p[2] >> 6)));
            ++sinceClear;
        }
    }
    codes.code(kEnd);
    codes.finishInto(out);
    out.push_back(0x3B);
    return out;
}

std::vector<std::uint8_t> encodeJpeg(const Image& image) {
    if (!hasRgb(image)) return {};
    tjhandle handle = tjInitCompress();
    if (handle == nullptr) return {};
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int result = tjCompress2(handle, image.pixels().data(), static_cast<int>(image.width()), 0,
                                   static_cast<int>(image.height()),
                                   image.channels() == 4 ? TJPF_RGBA : TJPF_RGB, &jpeg, &jpegSize,
                                   TJSAMP_420, 80, 0);
    Bytes out;
    if (result == 0) out.assign(jpeg, jpeg + jpegSize);
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

Image withoutAlpha(const Image& image) {
    Image rgb(image.width(), image.height(), 3);
    for (unsigned y = 0; y < image.height(); ++y)
        for (unsigned x = 0; x < image.width(); ++x) std::copy_n(image.pixel(x, y), 3, rgb.pixel(x, y));
    return rgb;
}

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
    return std::fflush(file.get()) == 0;
}

bool writePng(const std::string& path, const Image& image) {
    return writeFileBytes(path, encodePng(image));
}

bool writeBmp(const std::string& path, const Image& image) {
    return writeFileBytes(path, encodeBmp(image));
}

}  // namespace dd7rdemo
