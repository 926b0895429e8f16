#include "SurfaceBlit.h"

#include "PixelConversion.h"

#include <cstring>
#include <vector>

namespace softddraw {

namespace {

// For each destination offset d, the source offset (d * step) >> 16 with
// step = (sourceSize << 16) / destSize. 64-bit: d * step < sourceSize << 16 never overflows.
std::vector<std::size_t> sourceOffsets(std::int64_t destSize, std::int64_t sourceSize) {
    const std::uint64_t step =
        (static_cast<std::uint64_t>(sourceSize) << 16) / static_cast<std::uint64_t>(destSize);
    std::vector<std::size_t> offsets(static_cast<std::size_t>(destSize));
    for (std::size_t d = 0; d < offsets.size(); ++d)
        offsets[d] = static_cast<std::size_t>((d * step) >> 16);
    return offsets;
}

bool isKeyed(DWORD pixel, DWORD keyMask, const KeyRange& key) {
    const DWORD compared = pixel & keyMask;
    return key.low <= compared && compared <= key.high;
}

void copyRowsRaw(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
                 const Area& sourceArea) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(destArea.width()) * dest.format->bytesPerPixel;
    for (std::int64_t row = 0; row < destArea.height(); ++row)
        std::memmove(dest.at(destArea.left, destArea.top + row),
                     source.at(sourceArea.left, sourceArea.top + row), rowBytes);
}

void copyPixels(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
                const Area& sourceArea, const BlitKeys& keys) {
    const std::vector<std::size_t> columns = sourceOffsets(destArea.width(), sourceArea.width());
    const std::vector<std::size_t> rows = sourceOffsets(destArea.height(), sourceArea.height());
    const SurfaceFormat& from = *source.format;
    const SurfaceFormat& to = *dest.format;
    const bool convert = !sameLayout(from, to);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::uint8_t* sourceRow = source.at(sourceArea.left, sourceArea.top + rows[row]);
        std::uint8_t* destPixel = dest.at(destArea.left, destArea.top + static_cast<std::int64_t>(row));
        for (std::size_t column = 0; column < columns.size(); ++column, destPixel += to.bytesPerPixel) {
            const DWORD pixel = loadPixel(sourceRow + columns[column] * from.bytesPerPixel,
                                          from.bytesPerPixel);
            if (keys.source && isKeyed(pixel, from.keyMask, *keys.source)) continue;
            if (keys.dest && !isKeyed(loadPixel(destPixel, to.bytesPerPixel), 0xFFFFFFFFu, *keys.dest))
                continue;
            storePixel(destPixel, to.bytesPerPixel, convert ? convertPixel(pixel, from, to) : pixel);
        }
    }
}

}  // namespace

void fillArea(const PixelPlane& plane, const Area& area, DWORD fillValue) {
    const DWORD bytesPerPixel = plane.format->bytesPerPixel;
    const DWORD value = fillValue & plane.format->fillMask & pixelBits(bytesPerPixel);
    const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * bytesPerPixel;
    std::uint8_t* firstRow = plane.at(area.left, area.top);
    for (std::size_t offset = 0; offset < rowBytes; offset += bytesPerPixel)
        storePixel(firstRow + offset, bytesPerPixel, value);
    for (std::int64_t row = 1; row < area.height(); ++row)
        std::memcpy(plane.at(area.left, area.top + row), firstRow, rowBytes);
}

void blitArea(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
              const Area& sourceArea, const BlitKeys& keys) {
    if (dest.format->palettized != source.format->palettized) return;
    if (dest.base == source.base) {
        // Read the whole source first so that overlapping areas behave like a memmove.
        const std::size_t rowBytes =
            static_cast<std::size_t>(sourceArea.width()) * source.format->bytesPerPixel;
        std::vector<std::uint8_t> copy(rowBytes * static_cast<std::size_t>(sourceArea.height()));
        const PixelPlane snapshot{copy.data(), rowBytes, source.format};
        const Area snapshotArea{0, 0, sourceArea.width(), sourceArea.height()};
        copyRowsRaw(snapshot, snapshotArea, source, sourceArea);
        copyPixels(dest, destArea, snapshot, snapshotArea, keys);
        return;
    }
    const bool unscaled =
        destArea.width() == sourceArea.width() && destArea.height() == sourceArea.height();
    const bool keyed = keys.source || keys.dest;
    if (unscaled && !keyed && sameLayout(*dest.format, *source.format)) {
        copyRowsRaw(dest, destArea, source, sourceArea);
        return;
    }
    copyPixels(dest, destArea, source, sourceArea, keys);
}

}  // namespace softddraw
