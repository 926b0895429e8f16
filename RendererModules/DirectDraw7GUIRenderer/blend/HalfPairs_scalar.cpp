// The pair kernel of the 50 % average, BlendHalf (no twins: quad drawing runs the lane kernel).
// 50 % average in plain 32-bit integer code: floor(s / 2) + floor(d / 2) per channel, as
// ((s >> 1) AND k1) + ((d >> 1) AND k1), where k1 drops the bit each channel would hand down
// to the channel below. 16-bit rows go two pixels per 32-bit word. A pair with one transparent
// half averages that half's destination pixel with itself, which clears the lowest bit of each
// of its channels: the host's pictures were made with this behaviour.

#include "blend/PixelFormulas.h"
#include "blend/RGBMode.h"

namespace ZelUISystem::blend {

namespace {

// Replaces each zero half of the source word by the destination's half.
std::uint32_t fillTransparentHalves(std::uint32_t source, std::uint32_t destination) {
    const std::uint32_t takeLow = (source & 0xFFFFu) == 0 ? 0x0000FFFFu : 0u;
    const std::uint32_t takeHigh = (source >> 16) == 0 ? 0xFFFF0000u : 0u;
    const std::uint32_t take = takeLow | takeHigh;
    return (source & ~take) | (destination & take);
}

std::uint32_t average(std::uint32_t s, std::uint32_t d, std::uint32_t halvedMask) {
    return ((d >> 1) & halvedMask) + ((s >> 1) & halvedMask);
}

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width,
                  std::uint32_t k) {
    const std::uint32_t pairMask = ((k << 16) | k) >> 1;
    const std::uint32_t singleMask = k >> 1;
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const std::uint32_t S = load32(source + 4 * i);
        if (S == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        const std::uint32_t D = load32(d);
        store32(d, average(fillTransparentHalves(S, D), D, pairMask));
    }
    if (width % 2 == 0) return;
    const std::uint32_t s = load16(source + 4 * pairs);
    if (s == 0) return;
    std::uint8_t* d = destination + 4 * pairs;
    store16(d, average(s, load16(d), singleMask));
}

void averageRow24(const std::uint8_t* source, std::uint8_t* destination, int width) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load24(source + 3 * i);
        if (s == 0) continue;
        std::uint8_t* d = destination + 3 * i;
        store24(d, average(s, load24(d), 0x7F7F7Fu));
    }
}

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = load32(source + 4 * i);
        if ((s & 0x00FFFFFFu) == 0) continue;
        std::uint8_t* d = destination + 4 * i;
        store32(d, average(s, load32(d), 0x7F7F7Fu));
    }
}

}  // namespace

void halfPairsScalar(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
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
