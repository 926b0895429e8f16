// SSE2 twin of BlendAlphaMMX: the same lane arithmetic on eight 16-bit or four 32-bit pixels
// per register. Pixels the MMX kernel handles in groups (16-bit) or pairs (32-bit) get the
// group or pair formula here too, eight or four at a time and then one 64-bit step; pixels it
// handles one at a time get the same scalar code. 24-bit rows, done pixel by pixel by the MMX
// kernel, are left to it.

#include "blend/AlphaLanes128.h"
#include "blend/AlphaPixel.h"
#include "blend/BlendArea.h"
#include "blend/BlendDispatch.h"
#include "blend/BlendMath.h"
#include "blend/Sse2Lanes.h"

namespace ZelUISystem {

namespace {

using namespace blend;

void blendRow16(const std::uint8_t* source, std::uint8_t* destination, int width, const Params16& p) {
    const int grouped = width / 4 * 4;
    int i = 0;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i s = load128(source + 2 * i);
        if (allBytesZero(s)) continue;
        std::uint8_t* d = destination + 2 * i;
        store128(d, blendLanes16(s, load128(d), p.lanes));
    }
    if (i < grouped) {
        std::uint8_t* d = destination + 2 * i;
        store64Low(d, blendLanes16(load64Low(source + 2 * i), load64Low(d), p.lanes));
        i = grouped;
    }
    for (; i < width; ++i)
        blendSingle16(source + 2 * i, destination + 2 * i, p.sourceMasks, p.destinationMasks, p.alpha);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, __m128i alpha,
                std::uint32_t a) {
    const int paired = width / 2 * 2;
    int i = 0;
    for (; i + 4 <= paired; i += 4) {
        const __m128i s = load128(source + 4 * i);
        std::uint8_t* d = destination + 4 * i;
        store128(d, blendPairs32(s, load128(d), alpha));
    }
    if (i < paired) {
        std::uint8_t* d = destination + 4 * i;
        store64Low(d, blendPairs32(load64Low(source + 4 * i), load64Low(d), alpha));
    }
    if (paired < width) blendLast32(source + 4 * paired, destination + 4 * paired, a);
}

}  // namespace

int BlendAlphaSSE2(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int x, int y,
                   const RECT* rect, int alpha, std::uint32_t mode) {
    if (mode == DDS_RGBMODE_24) return BlendAlphaMMX(source, destination, x, y, rect, alpha, mode);
    if (!isDrawableMode(mode)) return -1;
    BlendArea area;
    if (!resolveBlendArea(source, destination, rect, area)) return -1;
    const std::uint32_t a = clampAlpha(alpha);

    if (mode == DDS_RGBMODE_32) {
        const short sa = static_cast<short>(a);
        const __m128i alphaLanes = _mm_set_epi16(0, sa, sa, sa, 0, sa, sa, sa);
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, alphaLanes, a); });
    } else {
        const ChannelMasks16 destinationMasks = masksForMode(mode, *destination);
        const Params16 params{makeLanes16(destinationMasks, a), masksForMode(mode, *source),
                              destinationMasks, a};
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow16(s, d, w, params); });
    }
    return 0;
}

}  // namespace ZelUISystem
