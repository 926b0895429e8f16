// The largest picture the library decodes, and the size arithmetic that guards every pixel
// buffer it allocates.
#ifndef CORONA_IMAGE_LIMITS_H
#define CORONA_IMAGE_LIMITS_H

#include <cstddef>

namespace corona {
namespace detail {

// Width and height are each at most 8192 pixels. A 32-bit host has about 2 GiB of address
// space, and one 8192 x 8192 RGBA picture already takes 256 MiB, more than it can usually
// spare twice (the decoder's buffer and the surface it is copied into). A file that claims
// more is refused before anything is allocated for it.
constexpr long long kMaxImageDimension = 8192;

// Bytes needed by width x height pixels of bytesPerPixel bytes, rows tightly packed. False
// when a dimension is outside 1..kMaxImageDimension, bytesPerPixel outside 1..4, or the
// product does not fit in size_t.
bool PixelBufferBytes(long long width, long long height, int bytesPerPixel, std::size_t* bytes);

}  // namespace detail
}  // namespace corona

#endif  // CORONA_IMAGE_LIMITS_H
