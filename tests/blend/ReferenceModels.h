#pragma once
// What each kernel must write, pixel by pixel, from the per-channel formulas of the blend
// kernels' definition: independent of the kernels' word and lane tricks.

#include <cstdint>

namespace dd7r_test {

enum class KernelModel { ColourAlpha, AlphaMMX, Half, HalfMMX };

// Where a layout keeps red, green and blue (in that order).
struct ChannelLayout {
    std::uint32_t masks[3];
};

ChannelLayout layoutForMode(std::uint32_t mode, const std::uint32_t masks16[3]);

struct ModelParameters {
    KernelModel model;
    std::uint32_t mode;
    ChannelLayout channels;
    int alpha;                  // as passed, before clamping
    std::uint32_t factors[3];   // red, green, blue (colour-modulated kernel only)
};

// The row as the kernel sees it: width pixels of source and destination values.
// position: the pixel's column; partnerSource: the source pixel sharing its 16-bit pair
// (x XOR 1), used only by models that process pairs.
std::uint32_t expectedPixel(const ModelParameters& p, int position, int width, std::uint32_t source,
                            std::uint32_t partnerSource, std::uint32_t destination);

}  // namespace dd7r_test
