#pragma once
// The DirectDraw side of the kernels: what Lock filled in, turned into the plain area and layout
// every kernel implementation takes.

#include <cstdint>

#include "blend/BlendCore.h"
#include "blend/RGBMode.h"
#include "platform/DirectDraw.h"

namespace ZelUISystem::blend {

struct BlendInputs {
    BlendArea area;
    BlendLayout layout;
};

// Fills the inputs from the kernel arguments: the rectangle's width and height, or the source
// description's size when there is no rectangle; the masks of the 16-bit layouts. False, with
// nothing to do, when the mode is not drawable or a description or its surface pointer is
// missing; an area of zero pixels is valid and empty.
bool readBlendInputs(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, const RECT* rect,
                     std::uint32_t mode, BlendInputs& inputs);

// True when both locked surfaces have one pixel format (bit count and colour masks) and it has
// the pixel size of the mode: only then may a kernel walk both with that mode's pixel size.
bool lockedLayoutsAgree(const DDSURFACEDESC2& source, const DDSURFACEDESC2& destination, std::uint32_t mode);

}  // namespace ZelUISystem::blend
