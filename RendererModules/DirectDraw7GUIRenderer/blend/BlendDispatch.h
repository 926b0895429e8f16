#pragma once
// Faster twins of the kernels and the one place that chooses between them. Each twin writes
// exactly the bytes of the kernel it stands for, for every input; only the speed differs.

#include "blend/BlendKernels.h"
#include "blend/CpuFeatures.h"

namespace ZelUISystem {

using BlendColorAlphaFunction = decltype(&BlendColorAlpha);
using BlendAlphaFunction = decltype(&BlendAlphaMMX);
using BlendHalfFunction = decltype(&BlendHalfMMX);

// SSE2 twins: of BlendColorAlpha, of BlendAlphaMMX and of BlendHalfMMX (not of BlendHalf,
// whose pairs treat a transparent half differently).
int BlendColorAlphaSSE2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x,
                        int y, const RECT* rect, int alpha, std::uint32_t mode,
                        std::uint32_t redFactor, std::uint32_t greenFactor,
                        std::uint32_t blueFactor);
int BlendAlphaSSE2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                   const RECT* rect, int alpha, std::uint32_t mode);
// AVX2 twins of BlendColorAlpha and BlendAlphaMMX.
int BlendColorAlphaAVX2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x,
                        int y, const RECT* rect, int alpha, std::uint32_t mode,
                        std::uint32_t redFactor, std::uint32_t greenFactor,
                        std::uint32_t blueFactor);
int BlendAlphaAVX2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                   const RECT* rect, int alpha, std::uint32_t mode);
int BlendHalfSSE2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                  const RECT* rect, std::uint32_t mode);

// The fastest implementation of each kernel on a processor with these features. The MMX
// kernels' stand-ins need MMX at least: the caller decides, as before, whether to use them.
BlendColorAlphaFunction selectBlendColorAlpha(const blend::CpuFeatures& features);
BlendAlphaFunction selectBlendAlpha(const blend::CpuFeatures& features);
BlendHalfFunction selectBlendHalfMMX(const blend::CpuFeatures& features);

}  // namespace ZelUISystem
