// SSSE3 twins of the three operations for 24-bit pixels: five pixels at a time in a 128-bit
// register (Pixels24Groups.h, Pixels24Vector128.h), the up to five after the last group as the
// row's end. Rows of at most five pixels go one pixel at a time by the reference formulas.
// SSSE3 is needed for the byte shuffles that find the transparent pixels and place the row's
// end.

#include <tmmintrin.h>

#include <cstdint>

#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/HalfPixel.h"
#include "blend/Pixels24Vector128.h"
// After the register widths, whose operations its templates use.
#include "blend/Blend24Bytes.h"

namespace ZelUISystem::blend {

void twins::colourModulated24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const ColourModulatedBytes24<Register128> blendGroup(k);
    blendRows24<Register128>(area, blendGroup, blendGroup,
                                  [&k](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

void twins::alpha24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const auto blendOne = [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); };
    if (a == 256) {
        blendRows24<Register128>(area, OpaqueBytes24<Register128>{}, OpaqueBytes24<Register128>{}, blendOne);
    } else {
        const AlphaBytes24<Register128> blendGroup(a);
        blendRows24<Register128>(area, blendGroup, blendGroup, blendOne);
    }
}

void twins::halfLanes24Ssse3(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24<Register128>(area, HalfBytes24<Register128>{}, HalfBytes24<Register128>{},
                                  [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
