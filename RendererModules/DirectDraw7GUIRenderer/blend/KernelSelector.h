#pragma once
// The one place that chooses which implementation of a blend operation runs: a function of the
// operation, the pixel layout and the instruction set level, nothing else. A twin is offered
// only for the layout it handles, one table row each, so no implementation ever hands work on
// to another or chooses a layout again. (Other 16-bit masks still differ from surface to
// surface: their twins pick their lanes from the masks themselves.)

#include <cstdint>

#include "blend/BlendCore.h"
#include "blend/CpuFeatures.h"
#include "blend/RGBMode.h"

namespace ZelUISystem::blend {

enum class BlendOperation {
    ColourModulated,  // BlendColorAlpha: colour factors, then constant alpha
    Alpha,            // BlendAlphaMMX: constant alpha
    HalfLanes,        // BlendHalfMMX: 50 % average, transparent pixels keep the destination
};

// The fastest implementation of the operation for the mode at this level; below the level of
// the operation's reference (MMX, for alpha and half lanes) the reference itself; null for a
// mode that is not drawable.
BlendCore selectBlendKernel(BlendOperation operation, std::uint32_t mode, SimdLevel level);

// The name of an implementation the selector can return ("alpha565Sse2"), for tests and
// benchmarks; "unknown" for anything else.
const char* blendKernelName(BlendCore kernel);

// One operation's implementation for every drawable layout, chosen once (per renderer), so that
// drawing a quad only looks its layout up.
struct LayoutKernels {
    BlendCore byMode[DDS_RGBMODE_32 + 1] = {};

    BlendCore forMode(std::uint32_t mode) const { return isDrawableMode(mode) ? byMode[mode] : nullptr; }
};

LayoutKernels selectForEveryLayout(BlendOperation operation, SimdLevel level);

}  // namespace ZelUISystem::blend
