// The one place that picks a kernel implementation: the MMX and integer reference kernels without SSE2, and
// twins that write the same bytes as those kernels even outside the documented ranges.

#include <gtest/gtest.h>

#include <cstring>

#include "BlendCase.h"
#include "blend/BlendDispatch.h"

namespace dd7r_test {
namespace {

using namespace ZelUISystem;

TEST(BlendDispatch, WithoutSse2PicksTheReferenceKernels) {
    const blend::CpuFeatures mmxOnly{true, false, false};
    EXPECT_EQ(&BlendColorAlpha, selectBlendColorAlpha(mmxOnly));
    EXPECT_EQ(&BlendAlphaMMX, selectBlendAlpha(mmxOnly));
    EXPECT_EQ(&BlendHalfMMX, selectBlendHalfMMX(mmxOnly));
}

// The twin for SSE2, and the one this processor gets (the AVX2 one where it has AVX2).
void expectTwinMatchesKernelForAnyFactor(BlendColorAlphaFunction twin) {
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        BlendCase c = makeBlendCase(seed);
        std::mt19937 random(seed);
        // Factors beyond 255 mean nothing to the host, yet both must still agree.
        for (auto& f : c.factors)
            f = std::uniform_int_distribution<std::uint32_t>(0, 0xFFFFFFFFu)(random) >> (random() % 32);
        TestSurface source(c.source, random);
        fillSource(c, source, random);
        TestSurface byKernel(c.destination, random);
        TestSurface byTwin = byKernel;
        DDSURFACEDESC2 sourceDesc = source.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
        DDSURFACEDESC2 kernelDesc = byKernel.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
        DDSURFACEDESC2 twinDesc = byTwin.describe(c.masks16[0], c.masks16[1], c.masks16[2]);
        BlendColorAlpha(&sourceDesc, &kernelDesc, 0, 0, &c.rect, c.alpha, c.mode, c.factors[0],
                        c.factors[1], c.factors[2]);
        twin(&sourceDesc, &twinDesc, 0, 0, &c.rect, c.alpha, c.mode, c.factors[0], c.factors[1],
             c.factors[2]);
        ASSERT_EQ(byKernel.bytes(), byTwin.bytes()) << describe(c);
    }
}

TEST(BlendDispatch, ColourModulatedTwinsMatchKernelForAnyFactor) {
    expectTwinMatchesKernelForAnyFactor(selectBlendColorAlpha({true, true, false}));
    expectTwinMatchesKernelForAnyFactor(selectBlendColorAlpha(blend::detectCpuFeatures()));
}

}  // namespace
}  // namespace dd7r_test
