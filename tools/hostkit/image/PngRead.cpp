#include "image/PngRead.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include <zlib.h>

namespace dd7rreplay {

namespace {

constexpr unsigned kMaxSide = 16384;
const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           bytes[3];
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Undoes the per-row filters in place; `rows` holds a filter byte before each row.
bool unfilter(std::vector<std::uint8_t>& rows, std::size_t rowBytes, unsigned height, unsigned channels,
              std::vector<std::uint8_t>& pixels) {
    pixels.assign(rowBytes * height, 0);
    for (unsigned y = 0; y < height; ++y) {
        const std::uint8_t filter = rows[y * (rowBytes + 1)];
        const std::uint8_t* in = &rows[y * (rowBytes + 1) + 1];
        std::uint8_t* out = &pixels[y * rowBytes];
        const std::uint8_t* up = y > 0 ? &pixels[(y - 1) * rowBytes] : nullptr;
        for (std::size_t x = 0; x < rowBytes; ++x) {
            const int a = x >= channels ? out[x - channels] : 0;
            const int b = up != nullptr ? up[x] : 0;
            const int c = up != nullptr && x >= channels ? up[x - channels] : 0;
            int predictor = 0;
            switch (filter) {
                case 0: predictor = 0; break;
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) / 2; break;
                case 4: predictor = paeth(a, b, c); break;
                default: return false;
            }
            out[x] = static_cast<std::uint8_t>(in[x] + predictor);
        }
    }
    return true;
}

}  // namespace

dd7rdemo::Image readPng(const std::string& path, std::string& error) {
    std::ifstream stream(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (file.size() < 8 + 25 || !std::equal(kSignature, kSignature + 8, file.begin())) {
        error = path + ": not a PNG file";
        return {};
    }
    unsigned width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> compressed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12) break;
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* data = &file[at + 8];
        if (type == "IHDR" && length >= 13) {
            width = bigEndian(data);
            height = bigEndian(data + 4);
            const bool supported = data[8] == 8 && (data[9] == 2 || data[9] == 6) && data[12] == 0;
            channels = supported ? (data[9] == 2 ? 3 : 4) : 0;
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        }
        at += 12 + static_cast<std::size_t>(length);
    }
    if (channels == 0 || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        error = path + ": not an 8-bit RGB or RGBA PNG of a sensible size";
        return {};
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    std::vector<std::uint8_t> rows((rowBytes + 1) * height);
    uLongf produced = static_cast<uLongf>(rows.size());
    if (uncompress(rows.data(), &produced, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK ||
        produced != rows.size()) {
        error = path + ": damaged image data";
        return {};
    }
    std::vector<std::uint8_t> pixels;
    if (!unfilter(rows, rowBytes, height, channels, pixels)) {
        error = path + ": unknown row filter";
        return {};
    }
    dd7rdemo::Image image(width, height, channels);
    std::copy(pixels.begin(), pixels.end(), image.data());
    return image;
}

}  // namespace dd7rreplay
