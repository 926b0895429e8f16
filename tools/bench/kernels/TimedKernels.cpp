#include "TimedKernels.h"

#include "blend/BlendInputs.h"
#include "blend/BlendKernels.h"
#include "blend/KernelSelector.h"

namespace dd7r_bench {

namespace {

using namespace ZelUISystem;
using blend::BlendOperation;
using blend::SimdLevel;

constexpr int kAlpha = 128;

int colourAlpha(BenchSurfaces& s, std::uint32_t mode) {
    return BlendColorAlpha(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode, 240, 200, 160);
}
int alphaMMX(BenchSurfaces& s, std::uint32_t mode) {
    return BlendAlphaMMX(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode);
}
int half(BenchSurfaces& s, std::uint32_t mode) {
    return BlendHalf(s.source(), s.destination(), 0, 0, s.rect(), mode);
}
int halfMMX(BenchSurfaces& s, std::uint32_t mode) {
    return BlendHalfMMX(s.source(), s.destination(), 0, 0, s.rect(), mode);
}

// What quad drawing runs for the operation at one level: the kernel selector's choice.
template <BlendOperation Operation, SimdLevel Level>
int selected(BenchSurfaces& s, std::uint32_t mode) {
    blend::BlendInputs inputs;
    if (!blend::readBlendInputs(s.source(), s.destination(), s.rect(), mode, inputs)) return -1;
    blend::selectBlendKernel(Operation, mode, Level)(inputs.area, inputs.layout, {kAlpha, 240, 200, 160});
    return 0;
}

}  // namespace

std::vector<TimedKernel> timedKernels() {
    const SimdLevel best = blend::bestLevelOf(blend::processorFeatures());
    std::vector<TimedKernel> kernels = {
        {"BlendColorAlpha", colourAlpha},
        {"BlendAlphaMMX", alphaMMX},
        {"BlendHalf", half},
        {"BlendHalfMMX", halfMMX}};
    if (best >= SimdLevel::Sse2) {
        kernels.push_back({"BlendColorAlphaSSE2", selected<BlendOperation::ColourModulated, SimdLevel::Sse2>});
        kernels.push_back({"BlendAlphaSSE2", selected<BlendOperation::Alpha, SimdLevel::Sse2>});
        kernels.push_back({"BlendHalfSSE2", selected<BlendOperation::HalfLanes, SimdLevel::Sse2>});
    }
    if (best >= SimdLevel::Ssse3) {
        kernels.push_back({"BlendColorAlphaSSSE3", selected<BlendOperation::ColourModulated, SimdLevel::Ssse3>});
        kernels.push_back({"BlendAlphaSSSE3", selected<BlendOperation::Alpha, SimdLevel::Ssse3>});
        kernels.push_back({"BlendHalfSSSE3", selected<BlendOperation::HalfLanes, SimdLevel::Ssse3>});
    }
    if (best >= SimdLevel::Avx2) {
        kernels.push_back({"BlendColorAlphaAVX2", selected<BlendOperation::ColourModulated, SimdLevel::Avx2>});
        kernels.push_back({"BlendAlphaAVX2", selected<BlendOperation::Alpha, SimdLevel::Avx2>});
        kernels.push_back({"BlendHalfAVX2", selected<BlendOperation::HalfLanes, SimdLevel::Avx2>});
    }
    // No half twin at this level: its row would repeat the AVX2 one.
    if (best >= SimdLevel::Avx512) {
        kernels.push_back({"BlendColorAlphaAVX512", selected<BlendOperation::ColourModulated, SimdLevel::Avx512>});
        kernels.push_back({"BlendAlphaAVX512", selected<BlendOperation::Alpha, SimdLevel::Avx512>});
    }
    return kernels;
}

}  // namespace dd7r_bench
