#pragma once
// The inner loop of a blit: one destination row from one source row. A kernel is chosen once
// per blit for the pixel size, the keys in play, stretched or 1:1 columns, and same layout or
// converted, so that the loop itself tests nothing but the keys it was built for.

#include "SurfaceBlit.h"
#include "SurfaceFormat.h"

#include <cstddef>
#include <cstdint>

namespace softddraw {

// A value p matches when low <= (p & mask) <= high. With low <= high this is one unsigned
// compare: (p & mask) - low <= high - low, since values below low wrap around above the span.
struct KeyTest {
    DWORD mask = 0;
    DWORD low = 0;
    DWORD span = 0;

    // `range` must have low <= high.
    static KeyTest of(const KeyRange& range, DWORD mask) {
        return KeyTest{mask, range.low, range.high - range.low};
    }
    bool matches(DWORD value) const { return static_cast<DWORD>((value & mask) - low) <= span; }
};

struct RowJob {
    std::size_t width = 0;                // destination pixels in the row
    const std::size_t* columns = nullptr;  // stretched rows: the source column of each one
    std::uint32_t step = 0;                // stretched rows: the stretch rule's 16.16 step
    std::size_t sourceWidth = 0;           // stretched rows: source pixels in the row
    KeyTest sourceKey;                    // keyed kernels: source pixels it matches are skipped
    KeyTest destKey;                      // keyed kernels: only destination pixels it matches are written
    const SurfaceFormat* from = nullptr;  // converting kernels: the two layouts
    const SurfaceFormat* to = nullptr;
};

using RowKernel = void (*)(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job);

struct RowKind {
    bool stretched = false;  // source columns come from RowJob::columns
    bool sourceKeyed = false;
    bool destKeyed = false;
};

// Both layouts are RGB or both palettized. Null only for a pixel size outside 1 to 4 bytes.
// `step` and `sourceWidth` are those of the blit's rows (for the stretched kernels).
RowKernel chooseRowKernel(const SurfaceFormat& from, const SurfaceFormat& to, const RowKind& kind,
                          std::uint32_t step, std::size_t sourceWidth);

// The unkeyed 32-bit stretched row for a step of at most one source pixel and a source row
// narrower than 65536 pixels, with AVX2 (StretchRow_avx2.cpp): only on a processor that has it.
void stretchRow4Magnifying(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job);

}  // namespace softddraw
