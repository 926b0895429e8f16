// Every kernel implementation against its reference model on seeded random cases.
// A failure names its seed; DD7R_BLEND_SEED=<seed> replays that one case verbosely, and
// DD7R_BLEND_SEEDS=<count> changes how many seeds each kernel runs.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <sstream>

#include "BlendCase.h"
#include "EmmsDetector.h"
#include "GuardedSurface.h"
#include "KernelTable.h"
#include "ReferenceModels.h"
#include "TestSurface.h"

namespace dd7r_test {
namespace {

std::optional<std::uint32_t> replaySeed() {
    const char* text = std::getenv("DD7R_BLEND_SEED");
    if (text == nullptr || *text == '\0') return std::nullopt;
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

std::uint32_t seedCount() {
    const char* text = std::getenv("DD7R_BLEND_SEEDS");
    if (text == nullptr || *text == '\0') return 3000;
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

DDSURFACEDESC2 describeSide(const BlendCase& c, TestSurface& surface) {
    const ChannelLayout channels = layoutForMode(c.mode, c.masks16);
    return surface.describe(channels.masks[0], channels.masks[1], channels.masks[2]);
}

void applyModel(const KernelUnderTest& kernel, const BlendCase& c, const TestSurface& source,
                TestSurface& expected) {
    ModelParameters p{kernel.model, c.mode, layoutForMode(c.mode, c.masks16), c.alpha,
                      {c.factors[0], c.factors[1], c.factors[2]}};
    for (int row = 0; row < c.height; ++row) {
        for (int col = 0; col < c.width; ++col) {
            const int partner = (col ^ 1) < c.width ? (col ^ 1) : col;
            expected.setPixel(col, row,
                              expectedPixel(p, col, c.width, source.pixel(col, row),
                                            source.pixel(partner, row), expected.pixel(col, row)));
        }
    }
}

std::string hex(std::uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << value;
    return out.str();
}

// Names the first differing byte: a pixel of the rectangle with its inputs, or a guard byte.
std::string explainDifference(const BlendCase& c, const TestSurface& source, const TestSurface& before,
                              const TestSurface& expected, const TestSurface& actual) {
    std::size_t offset = 0;
    while (expected.bytes()[offset] == actual.bytes()[offset]) ++offset;
    for (int row = 0; row < c.height; ++row) {
        for (int col = 0; col < c.width; ++col) {
            const std::size_t first = actual.offsetOf(col, row);
            if (offset < first || offset >= first + std::size_t(bytesPerPixel(c.mode))) continue;
            std::ostringstream out;
            out << "pixel (" << col << ", " << row << "): source " << hex(source.pixel(col, row))
                << ", destination before " << hex(before.pixel(col, row)) << ", expected "
                << hex(expected.pixel(col, row)) << ", got " << hex(actual.pixel(col, row));
            return out.str();
        }
    }
    return "guard byte at offset " + std::to_string(offset) + " changed from " +
           hex(expected.bytes()[offset]) + " to " + hex(actual.bytes()[offset]);
}

// Runs one seeded case; returns an empty string when the kernel wrote exactly the model.
std::string checkCase(const KernelUnderTest& kernel, std::uint32_t seed, bool verbose) {
    const BlendCase c = makeBlendCase(seed);
    std::mt19937 random(seed ^ 0x9E3779B9u);
    TestSurface source(c.source, random);
    fillSource(c, source, random);
    TestSurface destination(c.destination, random);
    const TestSurface sourceBefore = source;
    const TestSurface destinationBefore = destination;
    TestSurface expected = destination;
    applyModel(kernel, c, source, expected);

    DDSURFACEDESC2 sourceDesc = describeSide(c, source);
    DDSURFACEDESC2 destinationDesc = describeSide(c, destination);
    // Without a rectangle only the source's size counts: give the destination another one.
    destinationDesc.dwWidth += 7;
    destinationDesc.dwHeight += 3;
    const RECT* rect = c.nullRect ? nullptr : &c.rect;

    if (verbose) std::printf("%s: %s\n", kernel.name.c_str(), describe(c).c_str());
    int result = -2;
    const bool fpuIntact = keepsFloatingPointIntact(
        [&] { result = kernel.run(c, &sourceDesc, &destinationDesc, rect, c.mode); });

    // The same call again on rows that each end where a no-access page begins: a byte read or
    // written past any row faults at once, and the pixels must come out the same.
    TestSurface guardedSourcePixels = sourceBefore;
    TestSurface guardedResult = destinationBefore;
    {
        GuardedSurface guardedSource(guardedSourcePixels);
        GuardedSurface guardedDestination(guardedResult);
        DDSURFACEDESC2 guardedSourceDesc = guardedSource.describe(sourceDesc.ddpfPixelFormat.dwRBitMask,
                                                                  sourceDesc.ddpfPixelFormat.dwGBitMask,
                                                                  sourceDesc.ddpfPixelFormat.dwBBitMask);
        DDSURFACEDESC2 guardedDestinationDesc = guardedDestination.describe(
            destinationDesc.ddpfPixelFormat.dwRBitMask, destinationDesc.ddpfPixelFormat.dwGBitMask,
            destinationDesc.ddpfPixelFormat.dwBBitMask);
        kernel.run(c, &guardedSourceDesc, &guardedDestinationDesc, rect, c.mode);
        guardedDestination.copyPixelsTo(guardedResult);
    }

    std::string failure;
    if (result != 0) failure += "returned " + std::to_string(result) + "; ";
    if (!fpuIntact) failure += "floating-point registers corrupted (missing EMMS); ";
    if (source.bytes() != sourceBefore.bytes()) failure += "source modified; ";
    if (destination.bytes() != expected.bytes())
        failure += explainDifference(c, source, destinationBefore, expected, destination);
    else if (guardedResult.bytes() != expected.bytes())
        failure += "on rows ending at a no-access page: " +
                   explainDifference(c, source, destinationBefore, expected, guardedResult);
    if (failure.empty()) return failure;
    return kernel.name + " " + describe(c) + "\n  " + failure +
           "\n  replay: DD7R_BLEND_SEED=" + std::to_string(seed);
}

class KernelMatchesModel : public ::testing::TestWithParam<KernelUnderTest> {};

TEST_P(KernelMatchesModel, OnSeededRandomCases) {
    const KernelUnderTest& kernel = GetParam();
    if (const auto seed = replaySeed()) {
        const std::string failure = checkCase(kernel, *seed, true);
        EXPECT_TRUE(failure.empty()) << failure;
        return;
    }
    int failures = 0;
    const std::uint32_t count = seedCount();
    for (std::uint32_t seed = 1; seed <= count && failures < 5; ++seed) {
        const std::string failure = checkCase(kernel, seed, false);
        if (failure.empty()) continue;
        ++failures;
        ADD_FAILURE() << failure;
    }
}

INSTANTIATE_TEST_SUITE_P(AllKernels, KernelMatchesModel, ::testing::ValuesIn(kernelsUnderTest()),
                         [](const ::testing::TestParamInfo<KernelUnderTest>& param) {
                             return param.param.name;
                         });

}  // namespace
}  // namespace dd7r_test
