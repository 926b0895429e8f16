// AVX2 twin of BlendHalfMMX for the 16-bit layouts: the SSE2 twin's lane formula (Registers16.h)
// on sixteen pixels per 256-bit register, then the SSE2 twin's own row for what is left. One
// entry point serves 555, 565 and other masks: only K, taken from the destination's masks,
// differs between them.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

namespace {

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t k) {
    const __m256i wideK = Vec256::splat16(k);
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 16 <= grouped; i += 16) {
        const __m256i s = Vec256::load(source + 2 * i);
        if (Vec256::allZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        Vec256::store(d, average16<Vec256>(s, Vec256::load(d), wideK));
    }
    averageRow16From(source, destination, i, width, k);
}

}  // namespace

void twins::halfLanes16Avx2(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    const std::uint32_t k = halvingMask(layout.destination);
    forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
}

}  // namespace ZelUISystem::blend
