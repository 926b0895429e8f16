#include "GuardedSurface.h"

#include <cstring>

namespace dd7r_test {

namespace {

std::size_t pagesFor(std::size_t bytes) {
    const std::size_t page = PageRun::pageSize();
    return bytes == 0 ? 1 : (bytes + page - 1) / page;
}

}  // namespace

GuardedSurface::GuardedSurface(TestSurface& surface)
    : layout_(surface.layout()),
      rowBytes_(std::size_t(layout_.width) * std::size_t(layout_.bytesPerPixel)),
      pagesPerRow_(pagesFor(rowBytes_)),
      pages_(std::size_t(layout_.height) * (pagesPerRow_ + 1)) {
    for (int y = 0; y < layout_.height; ++y) {
        pages_.forbid((std::size_t(y) + 1) * (pagesPerRow_ + 1) - 1);
        std::memcpy(row(y), surface.pixelAddress(0, y), rowBytes_);
    }
}

// Row y (kernel order) in memory row m: a bottom-up surface keeps row 0 highest in memory.
std::uint8_t* GuardedSurface::row(int y) const {
    const int memoryRow = layout_.bottomUp ? layout_.height - 1 - y : y;
    return pages_.page((std::size_t(memoryRow) + 1) * (pagesPerRow_ + 1) - 1) - rowBytes_;
}

DDSURFACEDESC2 GuardedSurface::describe(std::uint32_t redMask, std::uint32_t greenMask,
                                        std::uint32_t blueMask) {
    const auto stride = static_cast<std::int32_t>((pagesPerRow_ + 1) * PageRun::pageSize());
    return describePixels(layout_, row(0), layout_.bottomUp ? -stride : stride, redMask, greenMask,
                          blueMask);
}

void GuardedSurface::copyPixelsTo(TestSurface& surface) const {
    for (int y = 0; y < layout_.height; ++y)
        std::memcpy(surface.pixelAddress(0, y), row(y), rowBytes_);
}

}  // namespace dd7r_test
