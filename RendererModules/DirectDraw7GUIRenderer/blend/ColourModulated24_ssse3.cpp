// SSSE3 twin of BlendColorAlpha for 24-bit pixels: five pixels at a time in a 128-bit register
// (Registers24.h), the up to five after the last group as the row's end. Rows of at most five
// pixels go one pixel at a time by the reference's formula. SSSE3 is needed for the byte
// shuffles that find the transparent pixels and place the row's end.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers24.h"

namespace ZelUISystem::blend {

void twins::colourModulated24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const ColourModulatedBytes24<Vec128> blendGroup(k);
    blendRows24<Vec128>(area, blendGroup, blendGroup, [&k](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

}  // namespace ZelUISystem::blend
