// AVX2 twin of BlendHalfMMX for 32-bit pixels: the SSE2 twin's lane formula (Registers32.h) on
// eight pixels per 256-bit register, then the SSE2 twin's own row for what is left.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers32.h"

namespace ZelUISystem::blend {

namespace {

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        std::uint8_t* d = destination + 4 * i;
        Vec256::store(d, average32<Vec256>(Vec256::load(source + 4 * i), Vec256::load(d)));
    }
    averageRow32From(source, destination, i, width);
}

}  // namespace

void twins::halfLanes32Avx2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    forEachRow(area, averageRow32);
}

}  // namespace ZelUISystem::blend
