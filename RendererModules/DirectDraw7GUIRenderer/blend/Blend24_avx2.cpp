// AVX2 twins of the three operations for 24-bit pixels: ten pixels at a time, five in each
// 128-bit half (Pixels24Groups.h, Pixels24Vector256.h); the six to ten pixels after the last
// such group as a group of five and the row's end in one register, up to five as the row's end
// in a 128-bit register. Rows of at most five pixels go one pixel at a time by the reference
// formulas.

#include <immintrin.h>

#include <cstdint>

#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/ColorAlphaPixel.h"
#include "blend/HalfPixel.h"
#include "blend/Pixels24Vector128.h"
#include "blend/Pixels24Vector256.h"
// After the register widths, whose operations its templates use.
#include "blend/Blend24Bytes.h"

namespace ZelUISystem::blend {

void twins::colourModulated24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    blendRows24<Register256>(area, ColourModulatedBytes24<Register256>(k), ColourModulatedBytes24<Register128>(k),
                                  [&k](std::uint32_t s, std::uint32_t d) { return blendBgr(s, d, k); });
}

void twins::alpha24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    const auto blendOne = [a](std::uint32_t s, std::uint32_t d) { return blendWidenedBgr(s, d, a); };
    if (a == 256)
        blendRows24<Register256>(area, OpaqueBytes24<Register256>{}, OpaqueBytes24<Register128>{}, blendOne);
    else
        blendRows24<Register256>(area, AlphaBytes24<Register256>(a), AlphaBytes24<Register128>(a), blendOne);
}

void twins::halfLanes24Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    blendRows24<Register256>(area, HalfBytes24<Register256>{}, HalfBytes24<Register128>{},
                                  [](std::uint32_t s, std::uint32_t d) { return averageBgr(s, d); });
}

}  // namespace ZelUISystem::blend
