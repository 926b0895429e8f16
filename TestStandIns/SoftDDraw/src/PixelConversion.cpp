#include "PixelConversion.h"

namespace softddraw {

namespace {

int lowestBit(DWORD mask) {
    int shift = 0;
    while (shift < 32 && ((mask >> shift) & 1u) == 0) ++shift;
    return shift;
}

// Rescales the channel under `fromMask` to the width of `toMask`, rounding to nearest.
DWORD rescaleChannel(DWORD value, DWORD fromMask, DWORD toMask) {
    if (toMask == 0) return 0;
    const int toShift = lowestBit(toMask);
    const std::uint64_t toMax = toMask >> toShift;
    if (fromMask == 0) return toMask;  // no such channel in the source: full intensity
    const int fromShift = lowestBit(fromMask);
    const std::uint64_t fromMax = fromMask >> fromShift;
    const std::uint64_t channel = (value & fromMask) >> fromShift;
    const std::uint64_t scaled = (channel * toMax * 2 + fromMax) / (fromMax * 2);
    return static_cast<DWORD>(scaled << toShift) & toMask;
}

}  // namespace

DWORD convertPixel(DWORD value, const SurfaceFormat& from, const SurfaceFormat& to) {
    const DWORD channels = to.red | to.green | to.blue | to.alpha;
    const DWORD unusedBits = pixelBits(to.bytesPerPixel) & ~channels;
    return rescaleChannel(value, from.red, to.red) | rescaleChannel(value, from.green, to.green) |
           rescaleChannel(value, from.blue, to.blue) |
           rescaleChannel(value, from.alpha, to.alpha) | unusedBits;
}

}  // namespace softddraw
