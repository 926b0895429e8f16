// SSE2 twin of BlendHalfMMX: ((d AND K) >> 1) + ((s AND K) >> 1) on eight 16-bit or four
// 32-bit pixels per register, lanes with a transparent source keeping the destination. It is
// not offered for 24-bit rows, which have twins of their own.

#include "blend/BlendCore.h"
#include "blend/BlendMath.h"
#include "blend/HalfRows128.h"

namespace ZelUISystem::blend {

namespace {

void averageRow16(const std::uint8_t* source, std::uint8_t* destination, int width, std::uint32_t k) {
    averageRow16From(source, destination, 0, width, k);
}

void averageRow32(const std::uint8_t* source, std::uint8_t* destination, int width) {
    averageRow32From(source, destination, 0, width);
}

}  // namespace

void twins::halfLanes32Sse2(const BlendArea& area, const BlendLayout&, const BlendParameters&) {
    forEachRow(area, averageRow32);
}

void twins::halfLanes16Sse2(const BlendArea& area, const BlendLayout& layout, const BlendParameters&) {
    const std::uint32_t k = halvingMask(layout.destination);
    forEachRow(area, [k](const std::uint8_t* s, std::uint8_t* d, int w) { averageRow16(s, d, w, k); });
}

}  // namespace ZelUISystem::blend
