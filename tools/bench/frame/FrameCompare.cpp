#include "FrameCompare.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace framebench {

namespace {

int channelDistance(std::uint32_t a, std::uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

// Per channel: what can fairly be called a different colour rather than a rounding difference.
constexpr int kVisibleDistance = 8;

}  // namespace

double drawnShare(const FramePixels& frame, std::uint32_t clearColour) {
    if (frame.xrgb.empty()) return 0.0;
    const auto drawn = std::count_if(frame.xrgb.begin(), frame.xrgb.end(),
                                     [&](std::uint32_t p) { return p != (clearColour & 0x00FFFFFFu); });
    return static_cast<double>(drawn) / static_cast<double>(frame.xrgb.size());
}

FrameDifference compareFrames(const FramePixels& a, const FramePixels& b) {
    if (a.width != b.width || a.height != b.height || a.xrgb.size() != b.xrgb.size() || a.xrgb.empty())
        return FrameDifference{255.0, 1.0};
    double total = 0.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.xrgb.size(); ++i) {
        int largest = 0;
        for (int shift : {0, 8, 16}) {
            const int distance = channelDistance(a.xrgb[i], b.xrgb[i], shift);
            total += distance;
            largest = std::max(largest, distance);
        }
        if (largest > kVisibleDistance) ++differing;
    }
    const auto count = static_cast<double>(a.xrgb.size());
    return FrameDifference{total / (3.0 * count), static_cast<double>(differing) / count};
}

bool writePpm(const FramePixels& frame, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out << "P6\n" << frame.width << " " << frame.height << "\n255\n";
    for (std::uint32_t pixel : frame.xrgb) {
        const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                             static_cast<char>(pixel)};
        out.write(rgb, 3);
    }
    return static_cast<bool>(out);
}

}  // namespace framebench
