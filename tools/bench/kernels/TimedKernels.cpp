#include "TimedKernels.h"

#include "blend/BlendDispatch.h"
#include "blend/BlendKernels.h"

namespace dd7r_bench {

namespace {

using namespace ZelUISystem;

constexpr int kAlpha = 128;

int colorAlpha(BenchSurfaces& s, std::uint32_t mode) {
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

int colorAlphaSse2(BenchSurfaces& s, std::uint32_t mode) {
    return BlendColorAlphaSSE2(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode, 240, 200, 160);
}
int alphaSse2(BenchSurfaces& s, std::uint32_t mode) {
    return BlendAlphaSSE2(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode);
}
int colorAlphaAvx2(BenchSurfaces& s, std::uint32_t mode) {
    return BlendColorAlphaAVX2(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode, 240, 200, 160);
}
int alphaAvx2(BenchSurfaces& s, std::uint32_t mode) {
    return BlendAlphaAVX2(s.source(), s.destination(), 0, 0, s.rect(), kAlpha, mode);
}
int halfSse2(BenchSurfaces& s, std::uint32_t mode) {
    return BlendHalfSSE2(s.source(), s.destination(), 0, 0, s.rect(), mode);
}

}  // namespace

std::vector<TimedKernel> timedKernels() {
    std::vector<TimedKernel> kernels = {
        {"BlendColorAlpha", colorAlpha}, {"BlendColorAlphaSSE2", colorAlphaSse2},
        {"BlendAlphaMMX", alphaMMX},     {"BlendAlphaSSE2", alphaSse2},
        {"BlendHalf", half},             {"BlendHalfMMX", halfMMX},
        {"BlendHalfSSE2", halfSse2}};
    if (blend::detectCpuFeatures().avx2) {
        kernels.push_back({"BlendColorAlphaAVX2", colorAlphaAvx2});
        kernels.push_back({"BlendAlphaAVX2", alphaAvx2});
    }
    return kernels;
}

}  // namespace dd7r_bench
