// Integer twin of BlendAlphaMMX, for processors (or forced feature sets) without MMX: every
// pixel gets exactly the bytes the MMX kernel writes, its 16-bit lane arithmetic reproduced
// with explicit 16-bit wrap-around.
//
// 16-bit layouts: pixels of the row's groups of four take the lane formula with the
// destination's masks on both sides; the W mod 4 pixels after them take the single-pixel
// formula with each side's own masks, as in the MMX kernel.
// 24- and 32-bit pairs: out = d + floor(s*a/256) - floor(d*a/256) per colour byte, saturated to
// 0..255 as the MMX pack does; a 32-bit pair keeps the destination's top byte, the odd last
// 32-bit pixel uses d + floor((s - d) * a / 256) with top byte 0.

#include "blend/AlphaPixel.h"
#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/PixelAccess.h"

namespace ZelUISystem::blend {

namespace {

// The value of a 16-bit lane read as a signed number.
std::int32_t signed16(std::uint32_t lane) {
    const std::int32_t low = static_cast<std::int32_t>(lane & 0xFFFFu);
    return low >= 0x8000 ? low - 0x10000 : low;
}

// One channel of one lane: ((dc + ((sc - dc) * a >> 8)) << shift), every step wrapping at 16
// bits and the shift right arithmetic, as the MMX instructions do.
std::uint32_t laneChannel(std::uint32_t s, std::uint32_t d, std::uint32_t mask, unsigned shift,
                          std::uint32_t a) {
    const std::uint32_t sc = (s & mask) >> shift;
    const std::uint32_t dc = (d & mask) >> shift;
    const std::int32_t product = signed16((sc - dc) * a);
    const std::uint32_t step = static_cast<std::uint32_t>(product >> 8);
    return ((dc + step) << shift) & 0xFFFFu;
}

struct LaneMasks {
    std::uint32_t mask[3];
    unsigned shift[3];
};

LaneMasks laneMasksOf(const ChannelMasks16& masks) {
    const std::uint32_t channels[3] = {masks.red, masks.green, masks.blue};
    LaneMasks lanes{};
    for (int c = 0; c < 3; ++c) {
        lanes.mask[c] = channels[c];
        lanes.shift[c] = lowestSetBit(channels[c]);
    }
    return lanes;
}

void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const LaneMasks& lanes,
                const BlendLayout& layout, std::uint32_t a) {
    const int grouped = width / 4 * 4;
    for (int i = 0; i < grouped; ++i) {
        const std::uint32_t s = load16(source + 2 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 2 * i;
        const std::uint32_t dv = load16(d);
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) out |= laneChannel(s, dv, lanes.mask[c], lanes.shift[c], a);
        store16(d, out);
    }
    for (int i = grouped; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, layout.source, layout.destination, a);
}

void blendRow24(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t a) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        store24(d, blendWidenedBgr(s, load24(d), a));
    }
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t a) {
    const int paired = width / 2 * 2;
    for (int i = 0; i < paired; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        const std::uint32_t dv = load32(d);
        store32(d, (dv & 0xFF000000u) | blendWidenedBgr(s, dv, a));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

void twins::alphaScalar(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const std::uint32_t a = clampAlpha(p.alpha);
    if (layout.mode == DDS_RGBMODE_24) {
        forEachRow(area, [a](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow24(s, d, w, a); });
    } else if (layout.mode == DDS_RGBMODE_32) {
        forEachRow(area, [a](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, a); });
    } else {
        const LaneMasks lanes = laneMasksOf(layout.destination);
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRow16(s, d, w, lanes, layout, a);
        });
    }
}

}  // namespace ZelUISystem::blend
