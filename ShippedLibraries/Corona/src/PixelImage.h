// The one image class of the library: a zero-filled, tightly packed pixel buffer.
#ifndef CORONA_PIXEL_IMAGE_H
#define CORONA_PIXEL_IMAGE_H

#include <cstddef>
#include <memory>

#include "corona.h"

namespace corona {
namespace detail {

// Bytes per pixel of a pixel format; 0 for PF_DONTCARE and unknown values.
int BytesPerPixel(PixelFormat format);

// Frees a pixel buffer taken with calloc.
struct FreeDeleter {
  void operator()(unsigned char* bytes) const;
};
using PixelBuffer = std::unique_ptr<unsigned char[], FreeDeleter>;

class PixelImage final : public Image {
 public:
  // A zero-filled image; null when the size is refused (see ImageLimits.h), the format has no
  // pixel size, or memory runs out. convertible false makes every conversion fail.
  static PixelImage* Create(int width, int height, PixelFormat format, bool convertible = true);

  void destroy() override;
  int getWidth() override { return width_; }
  int getHeight() override { return height_; }
  PixelFormat getFormat() override { return format_; }
  void* getPixels() override { return pixels_.get(); }

  unsigned char* bytes() { return pixels_.get(); }
  std::size_t byteCount() const { return byteCount_; }
  bool convertible() const { return convertible_; }

 private:
  PixelImage(int width, int height, PixelFormat format, bool convertible,
             PixelBuffer pixels, std::size_t byteCount);
  ~PixelImage();

  int width_;
  int height_;
  PixelFormat format_;
  bool convertible_;
  PixelBuffer pixels_;
  std::size_t byteCount_;
};

}  // namespace detail
}  // namespace corona

#endif  // CORONA_PIXEL_IMAGE_H
