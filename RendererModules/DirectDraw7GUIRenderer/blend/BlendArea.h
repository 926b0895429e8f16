#pragma once
// The part of the kernel contract every kernel shares: which memory a call covers and in
// which order its rows are visited.

#include <cstdint>

#include "platform/DirectDraw.h"

namespace ZelUISystem::blend {

// Two locked rectangles of equal size, each with its own first pixel and signed pitch.
struct BlendArea {
    const std::uint8_t* source;
    std::uint8_t* destination;
    std::int32_t sourcePitch;
    std::int32_t destinationPitch;
    int width;
    int height;
};

// Fills the area from the kernel arguments: the rectangle's width and height, or the source
// description's size when there is no rectangle. False when the descriptions cannot be used
// (null description or surface pointer); an area of zero pixels is valid and empty.
bool resolveBlendArea(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination,
                      const RECT* rect, BlendArea& area);

// Moves a row pointer by a signed pitch. The step is done on the address as an unsigned
// number, so the position after the last row, which is never used, is no pointer overflow.
template <typename Byte>
Byte* advanceRow(Byte* row, std::int32_t pitch) {
    const auto address = reinterpret_cast<std::uintptr_t>(row);
    const auto step = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(pitch));
    return reinterpret_cast<Byte*>(address + step);
}

// Calls processRow(sourceRow, destinationRow, width) for every row, top to bottom.
template <typename RowFunction>
void forEachRow(const BlendArea& area, RowFunction&& processRow) {
    const std::uint8_t* sourceRow = area.source;
    std::uint8_t* destinationRow = area.destination;
    for (int row = 0; row < area.height; ++row) {
        processRow(sourceRow, destinationRow, area.width);
        sourceRow = advanceRow(sourceRow, area.sourcePitch);
        destinationRow = advanceRow(destinationRow, area.destinationPitch);
    }
}

}  // namespace ZelUISystem::blend
