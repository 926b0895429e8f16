#include "SurfaceBlit.h"

#include "FixedPixel.h"
#include "PixelConversion.h"

#include <cstring>

namespace softddraw {

namespace {

template <unsigned Bytes>
void fillRow(std::uint8_t* row, std::size_t width, DWORD value) {
    for (std::size_t x = 0; x < width; ++x) storeFixedPixel<Bytes>(row + x * Bytes, value);
}

template <>
void fillRow<1>(std::uint8_t* row, std::size_t width, DWORD value) {
    std::memset(row, static_cast<int>(value & 0xFFu), width);
}

template <unsigned Bytes>
void fillRows(const PixelPlane& plane, const Area& area, DWORD value) {
    const std::size_t width = static_cast<std::size_t>(area.width());
    for (std::int64_t row = area.top; row < area.bottom; ++row)
        fillRow<Bytes>(plane.at(area.left, row), width, value);
}

}  // namespace

void fillArea(const PixelPlane& plane, const Area& area, DWORD fillValue) {
    const DWORD bytesPerPixel = plane.format->bytesPerPixel;
    const DWORD value = fillValue & plane.format->fillMask & pixelBits(bytesPerPixel);
    switch (bytesPerPixel) {
        case 1: fillRows<1>(plane, area, value); break;
        case 2: fillRows<2>(plane, area, value); break;
        case 3: fillRows<3>(plane, area, value); break;
        case 4: fillRows<4>(plane, area, value); break;
        default: break;
    }
}

}  // namespace softddraw
