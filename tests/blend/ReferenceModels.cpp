#include "ReferenceModels.h"

#include <cstdint>

namespace dd7r_test {

namespace {

using i64 = std::int64_t;

// Mathematical floor of n / 256, written with division so that it owes nothing to shifts.
i64 floor256(i64 n) { return n >= 0 ? n / 256 : -((-n + 255) / 256); }

i64 clampedAlpha(int alpha) { return alpha < 0 ? 0 : alpha > 256 ? 256 : alpha; }

struct Channel {
    int shift;
    std::uint32_t maxValue;
};

Channel channelOf(std::uint32_t mask) {
    Channel c{0, 0};
    if (mask == 0) return c;
    while (((mask >> c.shift) & 1u) == 0) ++c.shift;
    c.maxValue = mask >> c.shift;
    return c;
}

// Pair path of the colour-modulated kernel, one half.
i64 pairHalf(i64 s, i64 d, i64 f, i64 a) {
    const i64 modulated = floor256((s + 64) * f) - f / 4;
    return d + floor256((modulated - d + 64) * a) - a / 4;
}

// Single-pixel formula of the colour-modulated kernel.
i64 singlePixel(i64 s, i64 d, i64 f, i64 a) {
    const i64 modulated = floor256(s * f);
    return d + floor256((modulated - d) * a);
}

i64 towardSource(i64 s, i64 d, i64 a) { return d + floor256((s - d) * a); }

i64 splitRounding(i64 s, i64 d, i64 a) { return d + floor256(s * a) - floor256(d * a); }

i64 halfAverage(i64 s, i64 d) { return s / 2 + d / 2; }

enum class Formula { Pair, Single, Toward, Split, Average, AverageSelf };

// Applies one formula to red, green and blue; every bit outside the three channels is 0.
std::uint32_t compose(const ModelParameters& p, Formula formula, std::uint32_t s, std::uint32_t d) {
    const i64 a = clampedAlpha(p.alpha);
    std::uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const Channel ch = channelOf(p.channels.masks[c]);
        const i64 sc = (s & p.channels.masks[c]) >> ch.shift;
        const i64 dc = (d & p.channels.masks[c]) >> ch.shift;
        const i64 f = p.factors[c];
        i64 value = 0;
        switch (formula) {
        case Formula::Pair: value = pairHalf(sc, dc, f, a); break;
        case Formula::Single: value = singlePixel(sc, dc, f, a); break;
        case Formula::Toward: value = towardSource(sc, dc, a); break;
        case Formula::Split: value = splitRounding(sc, dc, a); break;
        case Formula::Average: value = halfAverage(sc, dc); break;
        case Formula::AverageSelf: value = halfAverage(dc, dc); break;
        }
        out |= (static_cast<std::uint32_t>(value) & ch.maxValue) << ch.shift;
    }
    return out;
}

bool is16Bit(std::uint32_t mode) { return mode <= 2; }

bool isTransparent(std::uint32_t mode, std::uint32_t s) {
    return is16Bit(mode) ? (s & 0xFFFFu) == 0 : (s & 0xFFFFFFu) == 0;
}

bool inPair(int position, int width) { return position < width - width % 2; }

}  // namespace

ChannelLayout layoutForMode(std::uint32_t mode, const std::uint32_t masks16[3]) {
    switch (mode) {
    case 0: return {{0x7C00u, 0x03E0u, 0x001Fu}};
    case 1: return {{0xF800u, 0x07E0u, 0x001Fu}};
    case 2: return {{masks16[0], masks16[1], masks16[2]}};
    default: return {{0xFF0000u, 0x00FF00u, 0x0000FFu}};
    }
}

std::uint32_t expectedPixel(const ModelParameters& p, int position, int width, std::uint32_t s,
                            std::uint32_t partner, std::uint32_t d) {
    const bool transparent = isTransparent(p.mode, s);
    switch (p.model) {
    case KernelModel::ColourAlpha:
        if (transparent) return d;
        if (p.mode <= 1 && inPair(position, width)) return compose(p, Formula::Pair, s, d);
        return compose(p, Formula::Single, s, d);
    case KernelModel::AlphaMMX:
        if (transparent) return d;
        if (p.mode == 3) return compose(p, Formula::Split, s, d);
        if (p.mode == 4 && inPair(position, width))
            return compose(p, Formula::Split, s, d) | (d & 0xFF000000u);
        return compose(p, Formula::Toward, s, d);
    case KernelModel::Half:
        if (is16Bit(p.mode) && inPair(position, width) && transparent)
            return isTransparent(p.mode, partner) ? d : compose(p, Formula::AverageSelf, s, d);
        if (transparent) return d;
        return compose(p, Formula::Average, s, d);
    case KernelModel::HalfMMX:
        if (transparent) return d;
        return compose(p, Formula::Average, s, d);
    }
    return d;
}

}  // namespace dd7r_test
