#include "ConvertImage.h"

#include <cstddef>

namespace corona {
namespace detail {

namespace {

// Where each channel sits inside one pixel; alpha < 0 when the format has none.
struct ChannelLayout {
  int bytesPerPixel;
  int red;
  int green;
  int blue;
  int alpha;
};

bool LayoutOf(PixelFormat format, ChannelLayout* layout) {
  switch (format) {
    case PF_R8G8B8A8:
      *layout = {4, 0, 1, 2, 3};
      return true;
    case PF_R8G8B8:
      *layout = {3, 0, 1, 2, -1};
      return true;
    case PF_B8G8R8A8:
      *layout = {4, 2, 1, 0, 3};
      return true;
    case PF_B8G8R8:
      *layout = {3, 2, 1, 0, -1};
      return true;
    default:
      return false;
  }
}

void CopyPixel(const unsigned char* from, const ChannelLayout& in, unsigned char* to,
               const ChannelLayout& out) {
  to[out.red] = from[in.red];
  to[out.green] = from[in.green];
  to[out.blue] = from[in.blue];
  if (out.alpha >= 0) {
    to[out.alpha] = in.alpha >= 0 ? from[in.alpha] : 255;
  }
}

}  // namespace

PixelImage* ConvertPixels(PixelImage& source, PixelFormat target) {
  ChannelLayout in{};
  ChannelLayout out{};
  if (!LayoutOf(source.getFormat(), &in) || !LayoutOf(target, &out)) {
    return nullptr;
  }
  PixelImage* converted = PixelImage::Create(source.getWidth(), source.getHeight(), target);
  if (converted == nullptr) {
    return nullptr;
  }
  const std::size_t pixelCount = source.byteCount() / static_cast<std::size_t>(in.bytesPerPixel);
  const unsigned char* from = source.bytes();
  unsigned char* to = converted->bytes();
  for (std::size_t i = 0; i < pixelCount; ++i) {
    CopyPixel(from, in, to, out);
    from += in.bytesPerPixel;
    to += out.bytesPerPixel;
  }
  return converted;
}

}  // namespace detail
}  // namespace corona
