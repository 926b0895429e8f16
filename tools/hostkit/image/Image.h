#pragma once
// A picture in memory: rows of 8-bit channels, top row first, no padding. Three channels
// (red, green, blue) for captured frames, four (plus alpha) for skin images.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace dd7rdemo {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
};

class Image {
public:
    Image() = default;
    Image(unsigned width, unsigned height, unsigned channels)
        : width_(width), height_(height), channels_(channels),
          pixels_(static_cast<std::size_t>(width) * height * channels, 0) {}
    // Pixels given whole; a vector of another size than width x height x channels is an error
    // of the caller, refused as an empty image.
    Image(unsigned width, unsigned height, unsigned channels, std::vector<std::uint8_t> pixels)
        : Image() {
        if (pixels.size() != static_cast<std::size_t>(width) * height * channels) return;
        width_ = width;
        height_ = height;
        channels_ = channels;
        pixels_ = std::move(pixels);
    }

    unsigned width() const { return width_; }
    unsigned height() const { return height_; }
    unsigned channels() const { return channels_; }
    bool empty() const { return pixels_.empty(); }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    std::uint8_t* data() { return pixels_.data(); }

    bool contains(int x, int y) const {
        return x >= 0 && y >= 0 && static_cast<unsigned>(x) < width_ &&
               static_cast<unsigned>(y) < height_;
    }
    std::uint8_t* pixel(unsigned x, unsigned y) {
        return pixels_.data() + (static_cast<std::size_t>(y) * width_ + x) * channels_;
    }
    const std::uint8_t* pixel(unsigned x, unsigned y) const {
        return pixels_.data() + (static_cast<std::size_t>(y) * width_ + x) * channels_;
    }
    // Writes the colour where (x, y) is inside the image; outside it does nothing.
    void set(int x, int y, Colour colour) {
        if (!contains(x, y)) return;
        std::uint8_t* p = pixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
        p[0] = colour.red;
        p[1] = colour.green;
        p[2] = colour.blue;
        if (channels_ == 4) p[3] = colour.alpha;
    }
    void fillRect(int left, int top, int right, int bottom, Colour colour) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) set(x, y, colour);
    }

private:
    unsigned width_ = 0;
    unsigned height_ = 0;
    unsigned channels_ = 3;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace dd7rdemo
