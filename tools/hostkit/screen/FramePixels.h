#pragma once
// A finished frame read back from its surface, to check and compare what was drawn.

#include <cstdint>
#include <vector>

namespace framebench {

struct FramePixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> xrgb;  // 0x00RRGGBB, row-major, the top byte cleared
};

}  // namespace framebench
