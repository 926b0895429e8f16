#include "ImageLimits.h"

#include <cstdint>
#include <limits>

namespace corona {
namespace detail {

bool PixelBufferBytes(long long width, long long height, int bytesPerPixel, std::size_t* bytes) {
  if (width < 1 || width > kMaxImageDimension || height < 1 || height > kMaxImageDimension) {
    return false;
  }
  if (bytesPerPixel < 1 || bytesPerPixel > 4) {
    return false;
  }
  // At most 8192 * 8192 * 4 = 2^28: exact in 64 bits, then checked against this platform.
  const std::uint64_t total = static_cast<std::uint64_t>(width) *
                              static_cast<std::uint64_t>(height) *
                              static_cast<std::uint64_t>(bytesPerPixel);
  if (total > std::numeric_limits<std::size_t>::max()) {
    return false;
  }
  *bytes = static_cast<std::size_t>(total);
  return true;
}

}  // namespace detail
}  // namespace corona
