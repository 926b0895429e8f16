#include "BlendCase.h"

#include <climits>
#include <iterator>
#include <sstream>

namespace dd7r_test {

namespace {

// Mask sets for the 16-bit "other masks" mode: 4-4-4, 565 and 555 given as masks, blue-high
// 565, an uneven 4-6-6, and 7-6-2 (a 7-bit channel ending at bit 14, another starting at bit 2).
// Channels stay at most 7 bits wide, as on any 16-bit surface.
constexpr std::uint32_t kMaskSets[][3] = {
    {0x0F00, 0x00F0, 0x000F},
    {0xF800, 0x07E0, 0x001F},
    {0x7C00, 0x03E0, 0x001F},
    {0x001F, 0x07E0, 0xF800},
    {0xF000, 0x0FC0, 0x003F},
    {0x7F00, 0x00FC, 0x0003},
};

constexpr int kAlphaEdges[] = {INT_MIN, -1000, -1, 0, 1, 2, 3, 4, 127, 128, 254, 255, 256, 257, 100000, INT_MAX};

int pick(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

int pickWidth(std::mt19937& random) {
    const int roll = pick(random, 0, 19);
    if (roll == 0) return 64;
    if (roll == 1) return 333;
    if (roll == 2) return pick(random, 18, 40);
    return pick(random, 1, 17);
}

int pickAlpha(std::mt19937& random) {
    if (pick(random, 0, 2) == 0) return kAlphaEdges[pick(random, 0, int(std::size(kAlphaEdges)) - 1)];
    return pick(random, 0, 256);
}

std::uint32_t pickFactor(std::mt19937& random) {
    const int roll = pick(random, 0, 5);
    if (roll == 0) return 0;
    if (roll == 1) return 255;
    return static_cast<std::uint32_t>(pick(random, 0, 255));
}

SurfaceLayout pickLayout(std::mt19937& random, const BlendCase& c) {
    SurfaceLayout layout;
    layout.width = c.width;
    layout.height = c.height;
    layout.bytesPerPixel = bytesPerPixel(c.mode);
    const bool tight = pick(random, 0, 3) == 0;  // rows back to back, like most real surfaces
    layout.leftGuard = tight ? 0 : pick(random, 0, 9);
    layout.rowPadding = tight ? 0 : pick(random, 0, 13);
    layout.tailGuard = pick(random, 0, 1) == 0 ? 0 : pick(random, 1, 9);
    layout.bottomUp = pick(random, 0, 2) == 0;
    return layout;
}

}  // namespace

int bytesPerPixel(std::uint32_t mode) { return mode <= 2 ? 2 : mode == 3 ? 3 : 4; }

BlendCase makeBlendCase(std::uint32_t seed) {
    std::mt19937 random(seed);
    BlendCase c;
    c.seed = seed;
    c.mode = static_cast<std::uint32_t>(pick(random, 0, 4));
    const auto& masks = kMaskSets[pick(random, 0, int(std::size(kMaskSets)) - 1)];
    for (int i = 0; i < 3; ++i) c.masks16[i] = masks[i];
    c.width = pickWidth(random);
    c.height = pick(random, 1, 5);
    c.source = pickLayout(random, c);
    c.destination = pickLayout(random, c);
    c.nullRect = pick(random, 0, 4) == 0;
    const int left = pick(random, -50, 500);
    const int top = pick(random, -50, 500);
    c.rect = RECT{left, top, left + c.width, top + c.height};
    c.x = pick(random, -100, 2000);
    c.y = pick(random, -100, 2000);
    c.alpha = pickAlpha(random);
    for (auto& f : c.factors) f = pickFactor(random);
    const int roll = pick(random, 0, 9);
    c.transparentPercent = roll == 0 ? 0 : roll == 1 ? 50 : 10;
    return c;
}

void fillSource(const BlendCase& c, TestSurface& source, std::mt19937& random) {
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int row = 0; row < c.height; ++row) {
        for (int col = 0; col < c.width; ++col) {
            const int roll = percent(random);
            if (roll < c.transparentPercent) {
                // A transparent 32-bit pixel may still carry a top byte.
                source.setPixel(col, row, c.mode == 4 ? std::uint32_t(byte(random)) << 24 : 0u);
            } else if (c.mode == 0 && roll < c.transparentPercent + 3) {
                source.setPixel(col, row, 0x8000u);  // no colour, yet not the colour key
            } else if (c.mode == 3 && roll < c.transparentPercent + 3) {
                // Two bytes 0, yet not the colour key.
                source.setPixel(col, row, (std::uint32_t(byte(random)) | 1u) << (8 * (roll % 3)));
            }
        }
    }
}

std::string describe(const BlendCase& c) {
    std::ostringstream out;
    auto layoutText = [](const SurfaceLayout& l) {
        std::ostringstream t;
        t << "{left guard " << l.leftGuard << ", row padding " << l.rowPadding << ", tail guard "
          << l.tailGuard << (l.bottomUp ? ", bottom-up}" : ", top-down}");
        return t.str();
    };
    out << "seed " << c.seed << ": mode " << c.mode;
    if (c.mode == 2)
        out << std::hex << " masks 0x" << c.masks16[0] << "/0x" << c.masks16[1] << "/0x" << c.masks16[2]
            << std::dec;
    out << ", " << c.width << "x" << c.height << (c.nullRect ? " (null rect)" : "") << ", alpha "
        << c.alpha << ", factors r" << c.factors[0] << " g" << c.factors[1] << " b" << c.factors[2]
        << ", transparent " << c.transparentPercent << "%, source " << layoutText(c.source)
        << ", destination " << layoutText(c.destination);
    return out.str();
}

}  // namespace dd7r_test
