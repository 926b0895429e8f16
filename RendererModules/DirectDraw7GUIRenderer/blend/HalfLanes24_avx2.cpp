// AVX2 twin of BlendHalfMMX for 24-bit pixels: ten pixels at a time, five in each 128-bit half
// (Registers24.h); the six to ten pixels after the last such group as a group of five and the
// row's end in one register, up to five as the row's end in a 128-bit register. Rows of at most
// five pixels go one pixel at a time by the reference's formula.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers24.h"

namespace ZelUISystem::blend {

void twins::halfLanes24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24<Vec256>(area, HalfBytes24<Vec256>{}, HalfBytes24<Vec128>{},
                        [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
