// AVX2 twin of BlendColorAlpha for 24-bit pixels: ten pixels at a time, five in each 128-bit
// half (Registers24.h); the six to ten pixels after the last such group as a group of five and
// the row's end in one register, up to five as the row's end in a 128-bit register. Rows of at
// most five pixels go one pixel at a time by the reference's formula.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers24.h"

namespace ZelUISystem::blend {

void twins::colourModulated24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    blendRows24<Vec256>(area, ColourModulatedBytes24<Vec256>(k), ColourModulatedBytes24<Vec128>(k),
                        [&k](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

}  // namespace ZelUISystem::blend
