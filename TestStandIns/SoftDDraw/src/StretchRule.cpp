#include "StretchRule.h"

namespace softddraw {

StretchRule::StretchRule(std::int64_t sourceSize, std::int64_t destSize)
    : step_((static_cast<std::uint64_t>(sourceSize) << 16) / static_cast<std::uint64_t>(destSize)),
      destSize_(static_cast<std::size_t>(destSize)) {}

std::vector<std::size_t> StretchRule::sourceOffsets() const {
    std::vector<std::size_t> offsets(destSize_);
    for (std::size_t d = 0; d < destSize_; ++d) offsets[d] = sourceOffset(d);
    return offsets;
}

}  // namespace softddraw
