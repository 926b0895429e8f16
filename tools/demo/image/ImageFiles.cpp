#include "image/ImageFiles.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace dd7rdemo {

namespace {

void appendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A PNG chunk: length, type, data, and the CRC of type and data.
void appendChunk(std::vector<std::uint8_t>& out, const char type[4],
                 const std::vector<std::uint8_t>& data) {
    appendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
    appendBigEndian32(out, static_cast<std::uint32_t>(crc));
}

// Every row prefixed by filter type 0 (none), then deflated.
std::vector<std::uint8_t> compressedRows(const Image& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * image.channels();
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height());
    for (unsigned y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        const std::uint8_t* row = image.pixel(0, y);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& image) {
    if (image.empty() || (image.channels() != 3 && image.channels() != 4)) return {};
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    appendBigEndian32(header, image.width());
    appendBigEndian32(header, image.height());
    header.push_back(8);                               // bits per channel
    header.push_back(image.channels() == 4 ? 6 : 2);   // colour type: RGBA or RGB
    header.push_back(0);                               // deflate
    header.push_back(0);                               // adaptive filtering
    header.push_back(0);                               // no interlace
    appendChunk(out, "IHDR", header);
    const std::vector<std::uint8_t> data = compressedRows(image);
    if (data.empty()) return {};
    appendChunk(out, "IDAT", data);
    appendChunk(out, "IEND", {});
    return out;
}

// 24-bit BMP: rows bottom-up, blue-green-red, each row padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp(const Image& image) {
    if (image.empty()) return {};
    const std::uint32_t rowBytes = (image.width() * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * image.height();
    const std::uint32_t headerBytes = 14 + 40;
    std::vector<std::uint8_t> out{'B', 'M'};
    appendLittleEndian(out, headerBytes + pixelBytes, 4);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, headerBytes, 4);
    appendLittleEndian(out, 40, 4);
    appendLittleEndian(out, image.width(), 4);
    appendLittleEndian(out, image.height(), 4);
    appendLittleEndian(out, 1, 2);   // planes
    appendLittleEndian(out, 24, 2);  // bits per pixel
    appendLittleEndian(out, 0, 4);   // no compression
    appendLittleEndian(out, pixelBytes, 4);
    appendLittleEndian(out, 2835, 4);  // 72 dpi
    appendLittleEndian(out, 2835, 4);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, 0, 4);
    for (unsigned y = image.height(); y-- > 0;) {
        for (unsigned x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (std::uint32_t pad = image.width() * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
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
