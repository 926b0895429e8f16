// SSSE3 twin of BlendHalfMMX for 24-bit pixels: five pixels at a time in a 128-bit register
// (Registers24.h), the up to five after the last group as the row's end. Rows of at most five
// pixels go one pixel at a time by the reference's formula. SSSE3 is needed for the byte
// shuffles that find the transparent pixels and place the row's end.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers24.h"

namespace ZelUISystem::blend {

void twins::halfLanes24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24<Vec128>(area, HalfBytes24<Vec128>{}, HalfBytes24<Vec128>{},
                        [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
