// What every kernel promises whatever its pixels: undrawable modes and unusable arguments
// write nothing; the rectangle gives only a size.

#include <gtest/gtest.h>

#include <cstring>

#include "FixedPixels.h"
#include "GuardedSurface.h"
#include "TestSurface.h"

namespace dd7r_test {
namespace {

struct Surfaces {
    explicit Surfaces(const BlendCase& c)
        : random(7), source(c.source, random), destination(c.destination, random),
          sourceDesc(source.describe(0xF800, 0x07E0, 0x001F)),
          destinationDesc(destination.describe(0xF800, 0x07E0, 0x001F)) {}
    std::mt19937 random;
    TestSurface source;
    TestSurface destination;
    DDSURFACEDESC2 sourceDesc;
    DDSURFACEDESC2 destinationDesc;
};

BlendCase blockCase() {
    BlendCase c = rowCase(4, 6);
    c.height = c.source.height = c.destination.height = 3;
    c.rect = RECT{0, 0, 6, 3};
    c.alpha = 200;
    return c;
}

TEST(KernelContract, ModesOutsideZeroToFourReturnMinusOneAndWriteNothing) {
    const BlendCase c = blockCase();
    for (const auto& kernel : kernelsUnderTest()) {
        for (std::uint32_t mode : {5u, 6u, 7u, 0x80000000u, 0xFFFFFFFFu}) {
            Surfaces s(c);
            const auto before = s.destination.bytes();
            EXPECT_EQ(-1, kernel.run(c, &s.sourceDesc, &s.destinationDesc, &c.rect, mode))
                << kernel.name << " mode " << mode;
            EXPECT_EQ(before, s.destination.bytes()) << kernel.name << " mode " << mode;
        }
    }
}

TEST(KernelContract, MissingDescriptionOrSurfaceReturnsMinusOneAndWritesNothing) {
    const BlendCase c = blockCase();
    for (const auto& kernel : kernelsUnderTest()) {
        Surfaces s(c);
        const auto before = s.destination.bytes();
        EXPECT_EQ(-1, kernel.run(c, nullptr, &s.destinationDesc, &c.rect, c.mode)) << kernel.name;
        EXPECT_EQ(-1, kernel.run(c, &s.sourceDesc, nullptr, &c.rect, c.mode)) << kernel.name;
        DDSURFACEDESC2 noSurface = s.sourceDesc;
        noSurface.lpSurface = nullptr;
        EXPECT_EQ(-1, kernel.run(c, &noSurface, &s.destinationDesc, &c.rect, c.mode)) << kernel.name;
        EXPECT_EQ(before, s.destination.bytes()) << kernel.name;
    }
}

TEST(KernelContract, EmptyOrInvertedRectangleWritesNothing) {
    const BlendCase c = blockCase();
    for (const auto& kernel : kernelsUnderTest()) {
        for (const RECT rect : {RECT{5, 5, 5, 8}, RECT{5, 5, 9, 5}, RECT{9, 0, 3, 3},
                                RECT{0, 9, 3, 3}, RECT{INT32_MIN, 0, INT32_MAX, 3}}) {
            Surfaces s(c);
            const auto before = s.destination.bytes();
            EXPECT_EQ(0, kernel.run(c, &s.sourceDesc, &s.destinationDesc, &rect, c.mode)) << kernel.name;
            EXPECT_EQ(before, s.destination.bytes())
                << kernel.name << " rect " << rect.left << "," << rect.top << "," << rect.right << ","
                << rect.bottom;
        }
    }
}

TEST(KernelContract, RectanglePositionIsIgnoredOnlyItsSizeCounts) {
    const BlendCase c = blockCase();
    for (const auto& kernel : kernelsUnderTest()) {
        Surfaces atOrigin(c);
        Surfaces shifted(c);
        const RECT origin{0, 0, 6, 3};
        const RECT elsewhere{-40, 1000, -34, 1003};
        ASSERT_EQ(0, kernel.run(c, &atOrigin.sourceDesc, &atOrigin.destinationDesc, &origin, c.mode));
        ASSERT_EQ(0, kernel.run(c, &shifted.sourceDesc, &shifted.destinationDesc, &elsewhere, c.mode));
        EXPECT_EQ(atOrigin.destination.bytes(), shifted.destination.bytes()) << kernel.name;
        Surfaces untouched(c);
        EXPECT_NE(untouched.destination.bytes(), atOrigin.destination.bytes()) << kernel.name;
    }
}

// Every kernel, every layout, odd and even widths, both row orders: rows that end where a
// no-access page begins are neither read nor written past (that faults at once), and the
// pixels come out as on ordinary memory.
TEST(KernelContract, RowsEndingAtANoAccessPageAreNeverReadOrWrittenPast) {
    std::vector<int> widths;
    for (int w = 1; w <= 40; ++w) widths.push_back(w);
    for (int w : {63, 64, 65, 66, 127, 129}) widths.push_back(w);
    for (const auto& kernel : kernelsUnderTest()) {
        for (std::uint32_t mode = 0; mode <= 4; ++mode) {
            for (int width : widths) {
                for (bool bottomUp : {false, true}) {
                    BlendCase c = rowCase(mode, width, 200);
                    c.height = c.source.height = c.destination.height = 2;
                    c.source.bottomUp = c.destination.bottomUp = bottomUp;
                    c.rect = RECT{0, 0, width, 2};
                    c.factors[0] = 250;
                    std::mt19937 random(static_cast<std::uint32_t>(width * 10 + mode));
                    TestSurface source(c.source, random);
                    TestSurface onPlainMemory(c.destination, random);
                    TestSurface onGuardedRows = onPlainMemory;
                    const std::string what = kernel.name + " mode " + std::to_string(mode) + " width " +
                                             std::to_string(width) + (bottomUp ? " bottom-up" : "");
                    GuardedSurface guardedSource(source);
                    GuardedSurface guardedDestination(onGuardedRows);
                    DDSURFACEDESC2 sourceDesc = guardedSource.describe(0xF800, 0x07E0, 0x001F);
                    DDSURFACEDESC2 destinationDesc = guardedDestination.describe(0xF800, 0x07E0, 0x001F);
                    ASSERT_EQ(0, kernel.run(c, &sourceDesc, &destinationDesc, &c.rect, mode)) << what;
                    guardedDestination.copyPixelsTo(onGuardedRows);
                    DDSURFACEDESC2 plainSource = source.describe(0xF800, 0x07E0, 0x001F);
                    DDSURFACEDESC2 plainDestination = onPlainMemory.describe(0xF800, 0x07E0, 0x001F);
                    ASSERT_EQ(0, kernel.run(c, &plainSource, &plainDestination, &c.rect, mode)) << what;
                    ASSERT_EQ(onPlainMemory.bytes(), onGuardedRows.bytes()) << what;
                }
            }
        }
    }
}

}  // namespace
}  // namespace dd7r_test
