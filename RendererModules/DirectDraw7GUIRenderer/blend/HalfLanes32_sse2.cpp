// SSE2 twin of BlendHalfMMX for 32-bit pixels: the MMX kernel's lane formula (Registers32.h) on
// four pixels per 128-bit register, lanes with a transparent source keeping the destination.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers32.h"

namespace ZelUISystem::blend {

void twins::halfLanes32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    forEachRow(area, [](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow32From(s, d, 0, w); });
}

}  // namespace ZelUISystem::blend
