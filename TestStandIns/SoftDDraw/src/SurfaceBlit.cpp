#include "SurfaceBlit.h"

#include "PixelConversion.h"
#include "RowKernels.h"
#include "StretchRule.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace softddraw {

namespace {

// How much of the possible values a key range covers. Only sure cases count as None or All;
// the others are tested pixel by pixel.
enum class KeyReach { None, Some, All };

// Values compared against the key lie in [0, largest], and `largest` itself is one of them.
KeyReach reachOf(const KeyRange& key, DWORD largest) {
    if (key.low > key.high || key.low > largest) return KeyReach::None;
    if (key.low == 0 && key.high >= largest) return KeyReach::All;
    return KeyReach::Some;
}

std::size_t rowBytesOf(const Area& area, const SurfaceFormat& format) {
    return static_cast<std::size_t>(area.width()) * format.bytesPerPixel;
}

bool overlaps(const Area& a, const Area& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A 1:1 same-layout copy inside one surface, in a row order that never overwrites a source row
// before it is read (bottom-up when the destination lies lower); memmove takes care of the
// overlap within a row. The result is that of reading the whole source first.
void moveRowsInOrder(const PixelPlane& plane, const Area& destArea, const Area& sourceArea) {
    const std::size_t rowBytes = rowBytesOf(destArea, *plane.format);
    const std::int64_t height = destArea.height();
    const bool bottomUp = destArea.top > sourceArea.top;
    for (std::int64_t i = 0; i < height; ++i) {
        const std::int64_t row = bottomUp ? height - 1 - i : i;
        std::memmove(plane.at(destArea.left, destArea.top + row),
                     plane.at(sourceArea.left, sourceArea.top + row), rowBytes);
    }
}

// The source area, packed into `pixels`.
PixelPlane snapshotOf(const PixelPlane& source, const Area& sourceArea,
                      std::vector<std::uint8_t>& pixels) {
    const std::size_t rowBytes = rowBytesOf(sourceArea, *source.format);
    pixels.resize(rowBytes * static_cast<std::size_t>(sourceArea.height()));
    for (std::int64_t row = 0; row < sourceArea.height(); ++row)
        std::memcpy(pixels.data() + static_cast<std::size_t>(row) * rowBytes,
                    source.at(sourceArea.left, sourceArea.top + row), rowBytes);
    return PixelPlane{pixels.data(), rowBytes, source.format};
}

struct ActiveKeys {
    bool source = false;
    bool dest = false;
};

// Draws every destination row with one kernel. The source and destination memory must not
// overlap. Unkeyed, a destination row depends on its source row alone, so consecutive rows
// taken from the same source row are copied from the row just drawn.
void drawRows(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
              const Area& sourceArea, const BlitKeys& keys, const ActiveKeys& active) {
    const SurfaceFormat& from = *source.format;
    const SurfaceFormat& to = *dest.format;
    RowKind kind;
    kind.stretched = destArea.width() != sourceArea.width();
    kind.sourceKeyed = active.source;
    kind.destKeyed = active.dest;
    const StretchRule columnRule(sourceArea.width(), destArea.width());
    // A step beyond 32 bits only shrinks, which no kernel needs the step for.
    const std::uint32_t step = static_cast<std::uint32_t>(std::min<std::uint64_t>(columnRule.step(), UINT32_MAX));
    const std::size_t sourceWidth = static_cast<std::size_t>(sourceArea.width());
    const RowKernel kernel = chooseRowKernel(from, to, kind, step, sourceWidth);
    if (kernel == nullptr) return;

    std::vector<std::size_t> columns;
    if (kind.stretched) columns = columnRule.sourceOffsets();
    RowJob job;
    job.width = static_cast<std::size_t>(destArea.width());
    job.columns = columns.data();
    job.step = step;
    job.sourceWidth = sourceWidth;
    if (active.source) job.sourceKey = KeyTest::of(*keys.source, from.keyMask);
    if (active.dest) job.destKey = KeyTest::of(*keys.dest, 0xFFFFFFFFu);
    job.from = &from;
    job.to = &to;

    const StretchRule rows(sourceArea.height(), destArea.height());
    const bool rowsRepeat = !active.source && !active.dest;
    const std::size_t destRowBytes = rowBytesOf(destArea, to);
    const std::size_t height = static_cast<std::size_t>(destArea.height());
    std::size_t previousSourceRow = 0;
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t sourceRow = rows.sourceOffset(row);
        std::uint8_t* destRow = dest.at(destArea.left, destArea.top + static_cast<std::int64_t>(row));
        if (rowsRepeat && row > 0 && sourceRow == previousSourceRow)
            std::memcpy(destRow, destRow - dest.pitch, destRowBytes);
        else
            kernel(destRow,
                   source.at(sourceArea.left, sourceArea.top + static_cast<std::int64_t>(sourceRow)),
                   job);
        previousSourceRow = sourceRow;
    }
}

}  // namespace

void blitArea(const PixelPlane& dest, const Area& destArea, const PixelPlane& source,
              const Area& sourceArea, const BlitKeys& keys) {
    if (dest.format->palettized != source.format->palettized) return;
    if (!dest.format->palettized && !blitConverts(*source.format, *dest.format)) return;
    ActiveKeys active;
    if (keys.source) {
        const KeyReach reach = reachOf(*keys.source, source.format->keyMask);
        if (reach == KeyReach::All) return;  // every source pixel is skipped
        active.source = reach == KeyReach::Some;
    }
    if (keys.dest) {
        const KeyReach reach = reachOf(*keys.dest, pixelBits(dest.format->bytesPerPixel));
        if (reach == KeyReach::None) return;  // no destination pixel may be written
        active.dest = reach == KeyReach::Some;
    }
    const bool unscaled =
        destArea.width() == sourceArea.width() && destArea.height() == sourceArea.height();
    const bool plainCopy = unscaled && !active.source && !active.dest &&
                           sameLayout(*dest.format, *source.format);
    if (dest.base == source.base && overlaps(destArea, sourceArea)) {
        if (plainCopy) {
            moveRowsInOrder(dest, destArea, sourceArea);
            return;
        }
        // Read the whole source first so that the overlap behaves like a memmove.
        std::vector<std::uint8_t> pixels;
        const PixelPlane snapshot = snapshotOf(source, sourceArea, pixels);
        const Area snapshotArea{0, 0, sourceArea.width(), sourceArea.height()};
        drawRows(dest, destArea, snapshot, snapshotArea, keys, active);
        return;
    }
    drawRows(dest, destArea, source, sourceArea, keys, active);
}

}  // namespace softddraw
