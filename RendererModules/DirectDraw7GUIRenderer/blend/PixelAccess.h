#pragma once
// Loads and stores of pixels at any byte address, and the walk over an area's rows. Locked rows
// start wherever the surface's pitch puts them, so a pixel is never assumed to be aligned:
// every access goes through memcpy, which compiles to a single unaligned move on x86. Internal
// linkage: included by units built with different SIMD flags, and by the pixel upload.

#include <cstdint>
#include <cstring>

#include "blend/BlendCore.h"

namespace ZelUISystem::blend {
namespace {

inline std::uint32_t load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store16(std::uint8_t* p, std::uint32_t v) {
    const auto narrow = static_cast<std::uint16_t>(v);
    std::memcpy(p, &narrow, sizeof narrow);
}

inline std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }

// A 24-bit pixel is exactly three bytes: the last one of a row may be the last byte of the
// surface's memory, so it is never read or written as a wider word.
inline std::uint32_t load24(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
}

inline void store24(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
}

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
