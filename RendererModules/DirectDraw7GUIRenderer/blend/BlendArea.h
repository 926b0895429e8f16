#pragma once
// The memory a kernel call covers and the order in which its rows are visited. Compiled into
// units built with different SIMD flags, so everything here has internal linkage.

#include <cstdint>

namespace ZelUISystem::blend {

// Two rectangles of equal size, each with its own first pixel and signed pitch.
struct BlendArea {
    const std::uint8_t* source;
    std::uint8_t* destination;
    std::int32_t sourcePitch;
    std::int32_t destinationPitch;
    int width;
    int height;
};

namespace {

// Moves a row pointer by a signed pitch. The step is done on the address as an unsigned
// number, so the position after the last row, which is never used, is no pointer overflow.
template <typename Byte>
inline Byte* advanceRow(Byte* row, std::int32_t pitch) {
    const auto address = reinterpret_cast<std::uintptr_t>(row);
    const auto step = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(pitch));
    return reinterpret_cast<Byte*>(address + step);
}

// Calls processRow(sourceRow, destinationRow, width) for every row, top to bottom.
template <typename RowFunction>
inline void forEachRow(const BlendArea& area, RowFunction&& processRow) {
    const std::uint8_t* sourceRow = area.source;
    std::uint8_t* destinationRow = area.destination;
    for (int row = 0; row < area.height; ++row) {
        processRow(sourceRow, destinationRow, area.width);
        sourceRow = advanceRow(sourceRow, area.sourcePitch);
        destinationRow = advanceRow(destinationRow, area.destinationPitch);
    }
}

}  // namespace
}  // namespace ZelUISystem::blend
