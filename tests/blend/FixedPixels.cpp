#include "FixedPixels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "ReferenceModels.h"

namespace dd7r_test {

KernelUnderTest kernelNamed(const char* name) {
    for (const auto& kernel : kernelsUnderTest())
        if (kernel.name == name) return kernel;
    throw std::invalid_argument(name);
}

BlendCase rowCase(std::uint32_t mode, int width, int alpha) {
    BlendCase c;
    c.mode = mode;
    c.width = width;
    c.height = 1;
    c.alpha = alpha;
    c.rect = RECT{0, 0, width, 1};
    for (SurfaceLayout* layout : {&c.source, &c.destination}) {
        layout->width = width;
        layout->height = 1;
        layout->bytesPerPixel = bytesPerPixel(mode);
    }
    return c;
}

std::vector<std::uint32_t> blendRow(const KernelUnderTest& kernel, const BlendCase& c,
                                    const std::vector<std::uint32_t>& sourcePixels,
                                    const std::vector<std::uint32_t>& destinationPixels) {
    std::mt19937 random(1);
    TestSurface source(c.source, random);
    TestSurface destination(c.destination, random);
    for (int i = 0; i < c.width; ++i) {
        source.setPixel(i, 0, sourcePixels.at(i));
        destination.setPixel(i, 0, destinationPixels.at(i));
    }
    const ChannelLayout channels = layoutForMode(c.mode, c.masks16);
    DDSURFACEDESC2 sourceDesc = source.describe(channels.masks[0], channels.masks[1], channels.masks[2]);
    DDSURFACEDESC2 destinationDesc =
        destination.describe(channels.masks[0], channels.masks[1], channels.masks[2]);
    EXPECT_EQ(0, kernel.run(c, &sourceDesc, &destinationDesc, &c.rect, c.mode)) << kernel.name;
    std::vector<std::uint32_t> result;
    for (int i = 0; i < c.width; ++i) result.push_back(destination.pixel(i, 0));
    return result;
}

}  // namespace dd7r_test

namespace dd7r_test {

std::string hexList(const std::vector<std::uint32_t>& pixels) {
    std::string text;
    char buffer[16];
    for (std::uint32_t p : pixels) {
        std::snprintf(buffer, sizeof buffer, "0x%X ", static_cast<unsigned>(p));
        text += buffer;
    }
    return text;
}

}  // namespace dd7r_test
