// SSE2 twin of BlendHalfMMX for the 16-bit layouts: ((d AND K) >> 1) + ((s AND K) >> 1) on eight
// pixels per 128-bit register (Registers16.h), lanes with a transparent source keeping the
// destination. One entry point serves 555, 565 and other masks: only K, taken from the
// destination's masks, differs between them.

#include "blend/PixelFormulas.h"
#include "blend/Registers.h"
#include "blend/Registers16.h"

namespace ZelUISystem::blend {

void twins::halfLanes16Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    const std::uint32_t k = halvingMask(layout.destination);
    forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16From(s, d, 0, w, k); });
}

}  // namespace ZelUISystem::blend
