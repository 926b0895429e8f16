#pragma once
// DirectDraw's nearest-neighbour stretch, the same on both axes: for destination offset d the
// source offset is (d * step) >> 16 with step = (sourceSize << 16) / destSize.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace softddraw {

class StretchRule {
public:
    // Both sizes are positive (validated rectangles).
    StretchRule(std::int64_t sourceSize, std::int64_t destSize);

    // In 64 bits: d * step < sourceSize << 16, so the result is always below sourceSize.
    std::size_t sourceOffset(std::size_t destOffset) const {
        return static_cast<std::size_t>((std::uint64_t{destOffset} * step_) >> 16);
    }

    // The 16.16 step; it fits 32 bits for every source size below 65536.
    std::uint64_t step() const { return step_; }

    // The source offset of every destination offset, computed once per blit.
    std::vector<std::size_t> sourceOffsets() const;

private:
    std::uint64_t step_;
    std::size_t destSize_;
};

}  // namespace softddraw
