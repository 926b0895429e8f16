// The colour-modulated kernel, BlendColorAlpha, and the reference its twins must equal.
// Colour-modulated constant-alpha blend in plain 32-bit integer code: 555 and 565 rows two
// pixels per 32-bit word (PixelFormulas.h derives the arithmetic), the odd last pixel and
// the other layouts one pixel at a time.

#include "blend/PixelFormulas.h"
#include "blend/RGBMode.h"

namespace ZelUISystem::blend {

namespace {

template <bool Is565>
void blendRowPairs(const std::uint8_t* source, std::uint8_t* destination, int width,
                   const ChannelMasks16& masks, const ColourAlpha& k) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const std::uint32_t S = load32(source + 4 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendPair<Is565>(S, load32(d), k));
    }
    if (width % 2 != 0) blendSingle16At(source + 4 * pairs, destination + 4 * pairs, masks, masks, k);
}

void blendRowOtherMasks(const std::uint8_t* source, std::uint8_t* destination, int width,
                        const ChannelMasks16& sourceMasks, const ChannelMasks16& destinationMasks,
                        const ColourAlpha& k) {
    for (int i = 0; i < width; ++i)
        blendSingle16At(source + 2 * i, destination + 2 * i, sourceMasks, destinationMasks, k);
}

void blendRow24(const std::uint8_t* source, std::uint8_t* destination, int width, const ColourAlpha& k) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        store24(d, blendBgr(s, load24(d), k));
    }
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int width, const ColourAlpha& k) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, blendBgr(s, load32(d), k));
    }
}

}  // namespace

void colourModulatedScalar(const BlendArea& area, const BlendLayout& layout, const BlendParameters& p) {
    const ColourAlpha k = expandParameters(p.alpha, p.red, p.green, p.blue);
    const ChannelMasks16& sourceMasks = layout.source;
    const ChannelMasks16& destinationMasks = layout.destination;
    switch (layout.mode) {
    case DDS_RGBMODE_555:
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<false>(s, d, w, sourceMasks, k);
        });
        break;
    case DDS_RGBMODE_565:
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowPairs<true>(s, d, w, sourceMasks, k);
        });
        break;
    case DDS_RGBMODE_16:
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) {
            blendRowOtherMasks(s, d, w, sourceMasks, destinationMasks, k);
        });
        break;
    case DDS_RGBMODE_24:
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow24(s, d, w, k); });
        break;
    case DDS_RGBMODE_32:
        forEachRow(area, [&](const std::uint8_t* s, std::uint8_t* d, int w) { blendRow32(s, d, w, k); });
        break;
    }
}

}  // namespace ZelUISystem::blend
