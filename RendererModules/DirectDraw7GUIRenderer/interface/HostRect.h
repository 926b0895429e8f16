#pragma once
// The rectangle a Renderer's base fields hold: left, top, right, bottom, 32-bit signed, right
// and bottom exclusive; the layout of the Win32 RECT. It is a type of its own, so that the host
// headers include no system header and define no macro in the host's files.

#include <cstdint>

namespace ZelUISystem {

struct HostRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};
static_assert(sizeof(HostRect) == 16, "the layout of a Win32 RECT");

}  // namespace ZelUISystem
