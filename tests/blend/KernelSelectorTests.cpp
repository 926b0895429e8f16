// The one place that picks a kernel implementation: a function of operation, layout and
// instruction set level; the reference kernels at the MMX level and below; every layout served at every
// level; forcing only ever lowers the level; twins agree with their kernel for every factor a
// quad's colour can give.

#include <gtest/gtest.h>

#include <cstring>

#include "BlendCase.h"
#include "blend/BlendInputs.h"
#include "blend/BlendKernels.h"
#include "blend/KernelSelector.h"

namespace dd7r_test {
namespace {

using namespace ZelUISystem;
using blend::BlendOperation;
using blend::SimdLevel;

constexpr BlendOperation kOperations[] = {BlendOperation::ColourModulated, BlendOperation::Alpha,
                                          BlendOperation::HalfLanes};
constexpr SimdLevel kLevels[] = {SimdLevel::Scalar, SimdLevel::Mmx, SimdLevel::Sse2, SimdLevel::Ssse3,
                                 SimdLevel::Avx2, SimdLevel::Avx512};

TEST(KernelSelector, AtTheMmxLevelPicksTheReferenceKernels) {
    for (std::uint32_t mode = 0; mode <= DDS_RGBMODE_32; ++mode) {
        EXPECT_EQ(&blend::colourModulatedScalar, selectBlendKernel(BlendOperation::ColourModulated, mode, SimdLevel::Mmx));
        EXPECT_EQ(&blend::alphaMmx, selectBlendKernel(BlendOperation::Alpha, mode, SimdLevel::Mmx));
        EXPECT_EQ(&blend::halfLanesMmx, selectBlendKernel(BlendOperation::HalfLanes, mode, SimdLevel::Mmx));
    }
}

// The renderer blends only on a processor with MMX, so below it (DD7R_CPU=scalar) alpha and half
// lanes keep their MMX reference; the colour-modulated reference is integer code.
TEST(KernelSelector, BelowMmxPicksTheReferenceKernels) {
    for (std::uint32_t mode = 0; mode <= DDS_RGBMODE_32; ++mode) {
        EXPECT_EQ(&blend::colourModulatedScalar, selectBlendKernel(BlendOperation::ColourModulated, mode, SimdLevel::Scalar));
        EXPECT_EQ(&blend::alphaMmx, selectBlendKernel(BlendOperation::Alpha, mode, SimdLevel::Scalar));
        EXPECT_EQ(&blend::halfLanesMmx, selectBlendKernel(BlendOperation::HalfLanes, mode, SimdLevel::Scalar));
    }
}

TEST(KernelSelector, EveryDrawableLayoutHasAKernelAtEveryLevelAndNoOtherModeHasOne) {
    for (BlendOperation operation : kOperations) {
        for (SimdLevel level : kLevels) {
            for (std::uint32_t mode = 0; mode <= DDS_RGBMODE_32; ++mode)
                EXPECT_NE(nullptr, selectBlendKernel(operation, mode, level)) << "mode " << mode;
            for (std::uint32_t mode : {5u, 6u, 7u, 0xFFFFFFFFu})
                EXPECT_EQ(nullptr, selectBlendKernel(operation, mode, level)) << "mode " << mode;
        }
    }
}

// 24-bit pixels get the reference kernel, or from SSSE3 on the twins written for them: never a
// twin of another layout that hands them on.
TEST(KernelSelector, TwentyFourBitPixelsGetOnlyImplementationsMadeForThem) {
    for (SimdLevel level : kLevels) {
        const bool avx2 = level >= SimdLevel::Avx2;
        const bool ssse3 = level >= SimdLevel::Ssse3;
        EXPECT_EQ(avx2    ? &blend::twins::alpha24Avx2
                  : ssse3 ? &blend::twins::alpha24Ssse3
                          : &blend::alphaMmx,
                  selectBlendKernel(BlendOperation::Alpha, DDS_RGBMODE_24, level));
        EXPECT_EQ(avx2    ? &blend::twins::halfLanes24Avx2
                  : ssse3 ? &blend::twins::halfLanes24Ssse3
                          : &blend::halfLanesMmx,
                  selectBlendKernel(BlendOperation::HalfLanes, DDS_RGBMODE_24, level));
        EXPECT_EQ(avx2    ? &blend::twins::colourModulated24Avx2
                  : ssse3 ? &blend::twins::colourModulated24Ssse3
                          : &blend::colourModulatedScalar,
                  selectBlendKernel(BlendOperation::ColourModulated, DDS_RGBMODE_24, level));
    }
}

TEST(KernelSelector, ForcingLowersTheLevelAndNeverRaisesIt) {
    EXPECT_EQ(SimdLevel::Scalar, blend::lowerToForcedLevel(SimdLevel::Avx2, "scalar"));
    EXPECT_EQ(SimdLevel::Mmx, blend::lowerToForcedLevel(SimdLevel::Avx2, "mmx"));
    EXPECT_EQ(SimdLevel::Sse2, blend::lowerToForcedLevel(SimdLevel::Avx2, "sse2"));
    EXPECT_EQ(SimdLevel::Sse2, blend::lowerToForcedLevel(SimdLevel::Sse2, "avx2"));
    EXPECT_EQ(SimdLevel::Avx2, blend::lowerToForcedLevel(SimdLevel::Avx512, "avx2"));
    EXPECT_EQ(SimdLevel::Avx2, blend::lowerToForcedLevel(SimdLevel::Avx2, "avx512"));
    EXPECT_EQ(SimdLevel::Mmx, blend::lowerToForcedLevel(SimdLevel::Mmx, "ssse3"));
    for (const char* text : {"", "AVX2", "sse", "fast", "scalar ", static_cast<const char*>(nullptr)})
        EXPECT_EQ(SimdLevel::Sse2, blend::lowerToForcedLevel(SimdLevel::Sse2, text)) << (text ? text : "null");
}

TEST(KernelSelector, LevelsFollowTheFeaturesTheyNeed) {
    EXPECT_EQ(SimdLevel::Scalar, blend::bestLevelOf({false, true, true, true}));
    EXPECT_EQ(SimdLevel::Mmx, blend::bestLevelOf({true, false, false, false}));
    EXPECT_EQ(SimdLevel::Sse2, blend::bestLevelOf({true, true, false, true}));
    EXPECT_EQ(SimdLevel::Ssse3, blend::bestLevelOf({true, true, true, false}));
    EXPECT_EQ(SimdLevel::Avx2, blend::bestLevelOf({true, true, true, true, false}));
    EXPECT_EQ(SimdLevel::Avx512, blend::bestLevelOf({true, true, true, true, true}));
    EXPECT_EQ(SimdLevel::Ssse3, blend::bestLevelOf({true, true, true, false, true}));
    EXPECT_LE(blend::kernelLevel(), blend::bestLevelOf(blend::processorFeatures()));
}

// Every colour-modulated implementation of this processor against the kernel, with random
// factors over the whole range a quad's average colour gives (0..255); 16-bit pixels with other
// masks also with a source whose masks differ from the destination's.
TEST(KernelSelector, ColourModulatedTwinsMatchKernelForEveryFactorOfAQuadColour) {
    const SimdLevel best = blend::bestLevelOf(blend::processorFeatures());
    for (int level = 0; level <= static_cast<int>(best); ++level) {
        for (std::uint32_t seed = 1; seed <= 800; ++seed) {
            const bool sidesDiffer = seed > 400;
            BlendCase c = makeBlendCase(seed);
            std::mt19937 random(seed);
            for (auto& f : c.factors) f = std::uniform_int_distribution<std::uint32_t>(0, 255)(random);
            TestSurface source(c.source, random);
            fillSource(c, source, random);
            TestSurface byKernel(c.destination, random);
            TestSurface byTwin = byKernel;
            DDSURFACEDESC2 sourceDesc = sidesDiffer ? source.describe(c.masks16[1], c.masks16[2], c.masks16[0])
                                                    : source.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
            DDSURFACEDESC2 kernelDesc = byKernel.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
            DDSURFACEDESC2 twinDesc = byTwin.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
            BlendColorAlpha(&sourceDesc, &kernelDesc, 0, 0, &c.rect, c.alpha, c.mode, c.factors[0],
                            c.factors[1], c.factors[2]);
            blend::BlendInputs inputs;
            ASSERT_TRUE(blend::readBlendInputs(&sourceDesc, &twinDesc, &c.rect, c.mode, inputs));
            const blend::BlendCore twin =
                selectBlendKernel(BlendOperation::ColourModulated, c.mode, static_cast<SimdLevel>(level));
            twin(inputs.area, inputs.layout, {c.alpha, c.factors[0], c.factors[1], c.factors[2]});
            ASSERT_EQ(byKernel.bytes(), byTwin.bytes())
                << blend::blendKernelName(twin) << (sidesDiffer ? " (source masks rotated) " : " ") << describe(c);
        }
    }
}

}  // namespace
}  // namespace dd7r_test
