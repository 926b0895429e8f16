#pragma once
// One randomized kernel call, fully determined by its seed: mode, masks, size, both surface
// layouts, alpha, factors and the pixels themselves.

#include <cstdint>
#include <random>
#include <string>

#include "TestSurface.h"

namespace dd7r_test {

struct BlendCase {
    std::uint32_t seed = 0;
    std::uint32_t mode = 0;
    std::uint32_t masks16[3] = {0, 0, 0};  // red, green, blue of the 16-bit "other masks" mode
    int width = 1;
    int height = 1;
    SurfaceLayout source;
    SurfaceLayout destination;
    bool nullRect = false;
    RECT rect{0, 0, 0, 0};
    int x = 0;
    int y = 0;
    int alpha = 0;
    std::uint32_t factors[3] = {255, 255, 255};  // red, green, blue
    int transparentPercent = 10;
};

int bytesPerPixel(std::uint32_t mode);

BlendCase makeBlendCase(std::uint32_t seed);

// The source pixels of a case: random, with about transparentPercent % of them transparent
// (16-bit value 0, or blue, green and red 0 with a random top byte).
void fillSource(const BlendCase& c, TestSurface& source, std::mt19937& random);

std::string describe(const BlendCase& c);

}  // namespace dd7r_test
