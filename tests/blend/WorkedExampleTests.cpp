// The concrete pixels the kernels' definition works through, including the deliberate
// rounding differences the host's pictures depend on.

#include <gtest/gtest.h>

#include "FixedPixels.h"

namespace dd7r_test {
namespace {

using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t k555 = 0, k565 = 1, kOtherMasks = 2, k24 = 3, k32 = 4;

TEST(ColourAlphaWorkedExamples, PairPathKeepsFullRedWhereSinglePixelRoundsDown) {
    // a = 256, factors 255: the pair path gives s' = 31, the odd last pixel 30.
    const KernelUnderTest kernel = kernelNamed("BlendColorAlpha");
    BlendCase c565 = rowCase(k565, 3);
    EXPECT_EQ(hexList({0xF800, 0xF800, 0xF000}),
              hexList(blendRow(kernel, c565, {0xF800, 0xF800, 0xF800}, {0, 0, 0})));
    BlendCase c555 = rowCase(k555, 3);
    EXPECT_EQ(hexList({0x7C00, 0x7C00, 0x7800}),
              hexList(blendRow(kernel, c555, {0x7C00, 0x7C00, 0x7C00}, {0, 0, 0})));
}

TEST(ColourAlphaWorkedExamples, OneTransparentHalfChangesOnlyTheOtherPixel) {
    const KernelUnderTest kernel = kernelNamed("BlendColorAlpha");
    const BlendCase c = rowCase(k565, 4);
    const Pixels result = blendRow(kernel, c, {0, 0xFFFF, 0xFFFF, 0}, {0x1234, 0, 0, 0x4321});
    EXPECT_EQ(hexList({0x1234, 0xFFFF, 0xFFFF, 0x4321}), hexList(result));
}

TEST(ColourAlphaWorkedExamples, OtherMasksClearBitsOutsideTheChannels) {
    BlendCase c = rowCase(kOtherMasks, 1);
    c.masks16[0] = 0x0F00;
    c.masks16[1] = 0x00F0;
    c.masks16[2] = 0x000F;
    // factors 255: s' = floor(s * 255 / 256) = s - 1 for 4, 5, 6; a = 256 writes s'.
    EXPECT_EQ(hexList({0x0345}),
              hexList(blendRow(kernelNamed("BlendColorAlpha"), c, {0xF456}, {0xF123})));
}

TEST(AlphaMMXWorkedExamples, FullAlphaKeepsTopByteInPairsAndClearsItOnTheOddPixel) {
    const BlendCase c = rowCase(k32, 3);
    const Pixels result = blendRow(kernelNamed("BlendAlphaMMX"), c, {0x11223344, 0x55667788, 0x99AABBCC},
                                   {0xAA000000, 0xBB000000, 0xCC000000});
    EXPECT_EQ(hexList({0xAA223344, 0xBB667788, 0x00AABBCC}), hexList(result));
}

TEST(AlphaMMXWorkedExamples, ZeroAlphaLeavesEveryPixel) {
    const KernelUnderTest kernel = kernelNamed("BlendAlphaMMX");
    const Pixels destination565 = {0x1234, 0xFFFF, 0x0001, 0x8000, 0x7BEF};
    EXPECT_EQ(hexList(destination565),
              hexList(blendRow(kernel, rowCase(k565, 5, 0), {0xFFFF, 0x1, 0xF800, 0x07E0, 0x1F}, destination565)));
    const Pixels destination24 = {0x123456, 0xFFFFFF, 0x000001};
    EXPECT_EQ(hexList(destination24),
              hexList(blendRow(kernel, rowCase(k24, 3, 0), {0xFFFFFF, 0x1, 0xABCDEF}, destination24)));
}

TEST(AlphaMMXWorkedExamples, GroupWithOneTransparentPixelLeavesOnlyThatOne) {
    const Pixels result = blendRow(kernelNamed("BlendAlphaMMX"), rowCase(k565, 4),
                                   {0xFFFF, 0, 0xFFFF, 0xFFFF}, {0, 0x1234, 0, 0});
    EXPECT_EQ(hexList({0xFFFF, 0x1234, 0xFFFF, 0xFFFF}), hexList(result));
}

TEST(HalfWorkedExamples, TransparentHalfOfAPairIsAveragedWithItselfOnlyByTheIntegerKernel) {
    EXPECT_EQ(hexList({0xF7DE, 0xF7DE}),
              hexList(blendRow(kernelNamed("BlendHalf"), rowCase(k565, 2), {0, 0xFFFF}, {0xFFFF, 0xFFFF})));
    EXPECT_EQ(hexList({0xFFFF, 0xF7DE, 0xF7DE, 0xF7DE}),
              hexList(blendRow(kernelNamed("BlendHalfMMX"), rowCase(k565, 4), {0, 0xFFFF, 0xFFFF, 0xFFFF},
                               {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF})));
}

TEST(HalfWorkedExamples, WhiteOnWhiteLosesTheLowestBitOfEveryChannel) {
    // Width 5 covers pairs, an MMX group and the remaining pixels.
    for (const char* name : {"BlendHalf", "BlendHalfMMX"}) {
        const KernelUnderTest kernel = kernelNamed(name);
        EXPECT_EQ(hexList(Pixels(5, 0xF7DE)),
                  hexList(blendRow(kernel, rowCase(k565, 5), Pixels(5, 0xFFFF), Pixels(5, 0xFFFF)))) << name;
        EXPECT_EQ(hexList(Pixels(5, 0x7BDE)),
                  hexList(blendRow(kernel, rowCase(k555, 5), Pixels(5, 0x7FFF), Pixels(5, 0x7FFF)))) << name;
        EXPECT_EQ(hexList(Pixels(5, 0xFEFEFE)),
                  hexList(blendRow(kernel, rowCase(k24, 5), Pixels(5, 0xFFFFFF), Pixels(5, 0xFFFFFF)))) << name;
        EXPECT_EQ(hexList(Pixels(5, 0x00FEFEFE)),
                  hexList(blendRow(kernel, rowCase(k32, 5), Pixels(5, 0x00FFFFFF), Pixels(5, 0xFFFFFFFF)))) << name;
    }
}

TEST(HalfWorkedExamples, BlendedPixelLosesTopByteTransparentOneKeepsIt) {
    for (const char* name : {"BlendHalf", "BlendHalfMMX"}) {
        const Pixels result = blendRow(kernelNamed(name), rowCase(k32, 3), {0x00020406, 0x7F000000, 0x00FFFFFF},
                                       {0xAA080808, 0xBB123456, 0xCC000000});
        EXPECT_EQ(hexList({0x00050607, 0xBB123456, 0x007F7F7F}), hexList(result)) << name;
    }
}

TEST(AllKernelsWorkedExamples, TopByteAloneIsTheColourKey) {
    for (const auto& kernel : kernelsUnderTest()) {
        const Pixels destination = {0x11223344, 0x55667788, 0x99AABBCC};
        EXPECT_EQ(hexList(destination),
                  hexList(blendRow(kernel, rowCase(k32, 3), Pixels(3, 0xFF000000), destination)))
            << kernel.name;
    }
}

}  // namespace
}  // namespace dd7r_test
