#pragma once
// The pixels of a test surface copied into memory where every row ends exactly where a
// no-access page begins, so that a kernel reading or writing past the end of any row faults.

#include <cstdint>

#include "NoAccessPages.h"
#include "TestSurface.h"

namespace dd7r_test {

class GuardedSurface {
public:
    explicit GuardedSurface(TestSurface& surface);

    // A description as Lock fills it, over the guarded rows (pitch of the surface's sign).
    DDSURFACEDESC2 describe(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask);
    // Copies the guarded pixels back over the surface's rectangle.
    void copyPixelsTo(TestSurface& surface) const;

private:
    std::uint8_t* row(int y) const;

    SurfaceLayout layout_;
    std::size_t rowBytes_;
    std::size_t pagesPerRow_;  // accessible pages holding a row, then one no-access page
    PageRun pages_;
};

}  // namespace dd7r_test
