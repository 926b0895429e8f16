// AVX2 twin of BlendAlphaMMX for 24-bit pixels: ten pixels at a time, five in each 128-bit half
// (Registers24.h); the six to ten pixels after the last such group as a group of five and the
// row's end in one register, up to five as the row's end in a 128-bit register. Rows of at most
// five pixels go one pixel at a time by the reference's formula.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers24.h"

namespace ZelUISystem::blend {

void twins::alpha24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const auto blendOne = [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); };
    if (a == 256)
        blendRows24<Vec256>(area, OpaqueBytes24<Vec256>{}, OpaqueBytes24<Vec128>{}, blendOne);
    else
        blendRows24<Vec256>(area, AlphaBytes24<Vec256>(a), AlphaBytes24<Vec128>(a), blendOne);
}

}  // namespace ZelUISystem::blend
