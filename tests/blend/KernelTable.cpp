#include "KernelTable.h"

#include "blend/BlendDispatch.h"
#include "blend/BlendKernels.h"

namespace dd7r_test {

namespace {

using namespace ZelUISystem;

int runColorAlpha(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                  const RECT* rect, std::uint32_t mode) {
    return BlendColorAlpha(s, d, c.x, c.y, rect, c.alpha, mode, c.factors[0], c.factors[1], c.factors[2]);
}

int runAlphaMMX(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                const RECT* rect, std::uint32_t mode) {
    return BlendAlphaMMX(s, d, c.x, c.y, rect, c.alpha, mode);
}

int runHalf(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d, const RECT* rect,
            std::uint32_t mode) {
    return BlendHalf(s, d, c.x, c.y, rect, mode);
}

int runHalfMMX(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
               const RECT* rect, std::uint32_t mode) {
    return BlendHalfMMX(s, d, c.x, c.y, rect, mode);
}

// The twins the dispatch picks with SSE2 and with AVX2.
const blend::CpuFeatures kWithSse2{true, true, false};
const blend::CpuFeatures kWithAvx2{true, true, true};

int runColorAlphaSse2(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                      const RECT* rect, std::uint32_t mode) {
    return selectBlendColorAlpha(kWithSse2)(s, d, c.x, c.y, rect, c.alpha, mode, c.factors[0],
                                            c.factors[1], c.factors[2]);
}

int runAlphaSse2(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                 const RECT* rect, std::uint32_t mode) {
    return selectBlendAlpha(kWithSse2)(s, d, c.x, c.y, rect, c.alpha, mode);
}

int runColorAlphaAvx2(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                      const RECT* rect, std::uint32_t mode) {
    return selectBlendColorAlpha(kWithAvx2)(s, d, c.x, c.y, rect, c.alpha, mode, c.factors[0],
                                            c.factors[1], c.factors[2]);
}

int runAlphaAvx2(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                 const RECT* rect, std::uint32_t mode) {
    return selectBlendAlpha(kWithAvx2)(s, d, c.x, c.y, rect, c.alpha, mode);
}

int runHalfSse2(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                const RECT* rect, std::uint32_t mode) {
    return selectBlendHalfMMX(kWithSse2)(s, d, c.x, c.y, rect, mode);
}

}  // namespace

std::vector<KernelUnderTest> kernelsUnderTest() {
    std::vector<KernelUnderTest> kernels = {
        {"BlendColorAlpha", KernelModel::ColorAlpha, runColorAlpha},
        {"BlendAlphaMMX", KernelModel::AlphaMMX, runAlphaMMX},
        {"BlendHalf", KernelModel::Half, runHalf},
        {"BlendHalfMMX", KernelModel::HalfMMX, runHalfMMX},
    };
    const blend::CpuFeatures features = blend::detectCpuFeatures();
    if (features.avx2) {
        kernels.push_back({"BlendColorAlphaAVX2", KernelModel::ColorAlpha, runColorAlphaAvx2});
        kernels.push_back({"BlendAlphaAVX2", KernelModel::AlphaMMX, runAlphaAvx2});
    }
    if (features.sse2) {
        kernels.push_back({"BlendColorAlphaSSE2", KernelModel::ColorAlpha, runColorAlphaSse2});
        kernels.push_back({"BlendAlphaSSE2", KernelModel::AlphaMMX, runAlphaSse2});
        kernels.push_back({"BlendHalfSSE2", KernelModel::HalfMMX, runHalfSse2});
    }
    return kernels;
}

}  // namespace dd7r_test
