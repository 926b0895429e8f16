// Integer twin of BlendHalfMMX, for processors (or forced feature sets) without MMX. Every
// non-transparent pixel becomes ((d AND K) >> 1) + ((s AND K) >> 1), which equals
// ((d >> 1) AND k1) + ((s >> 1) AND k1) for the pixels the MMX kernel does one at a time, and a
// pixel under a transparent source keeps its destination exactly: unlike BlendHalf, no pair
// ever averages a destination pixel with itself.

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/HalfPixel.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {

namespace {

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t k) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        store16(d, ((load16(d) & k) >> 1) + ((s & k) >> 1));
    }
}

void averageRow24(const std::uint8_t* source, std::uint8_t* destination, int width) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        store24(d, averageBgr(s, load24(d)));
    }
}

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, averageBgr(s, load32(d)));
    }
}

}  // namespace

void twins::halfLanesScalar(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    if (layout.mode == DDS_RGBMODE_24) {
        forEachRow(area, averageRow24);
    } else if (layout.mode == DDS_RGBMODE_32) {
        forEachRow(area, averageRow32);
    } else {
        const std::uint32_t k = halvingMask(layout.destination);
        forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
    }
}

}  // namespace ZelUISystem::blend
