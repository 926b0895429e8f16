#pragma once
// The four software blend kernels. Each mixes a locked source rectangle into a locked
// destination rectangle of the same size:
//   source, destination: descriptions filled by Lock (lpSurface = first pixel, signed lPitch);
//   x, y: the destination position, which the kernels do not use;
//   rect: only its width and height are used; null means the source description's size;
//   mode: the RGB mode shared by both surfaces.
// Each returns 0, or -1 without touching a pixel when the mode is not drawable. Each runs the
// reference implementation of its operation (BlendCore.h); quad drawing runs the one the
// kernel selector chooses (KernelSelector.h), which writes the same bytes.

#include <cstdint>

#include "platform/DirectDraw.h"

namespace ZelUISystem {

// Multiplies each source channel by a colour factor, then blends with a constant alpha.
int BlendColorAlpha(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x,
                    int y, const RECT* rect, int alpha, std::uint32_t mode,
                    std::uint32_t redFactor, std::uint32_t greenFactor,
                    std::uint32_t blueFactor);

// Blends with a constant alpha, MMX.
int BlendAlphaMMX(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                  const RECT* rect, int alpha, std::uint32_t mode);

// 50 % average of source and destination, plain integer code.
int BlendHalf(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
              const RECT* rect, std::uint32_t mode);

// 50 % average of source and destination, MMX.
int BlendHalfMMX(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                 const RECT* rect, std::uint32_t mode);

}  // namespace ZelUISystem
