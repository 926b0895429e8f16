#include "PixelImage.h"

#include <cstdlib>
#include <new>
#include <utility>

#include "ImageLimits.h"
#include "TestSeamHooks.h"

namespace corona {
namespace detail {

void FreeDeleter::operator()(unsigned char* bytes) const { std::free(bytes); }

int BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PF_R8G8B8A8:
    case PF_B8G8R8A8:
      return 4;
    case PF_R8G8B8:
    case PF_B8G8R8:
      return 3;
    case PF_I8:
      return 1;
    default:
      return 0;
  }
}

PixelImage* PixelImage::Create(int width, int height, PixelFormat format, bool convertible) {
  std::size_t byteCount = 0;
  if (!PixelBufferBytes(width, height, BytesPerPixel(format), &byteCount)) {
    return nullptr;
  }
  // Zero-filled, so a decoder that stops early never leaves stale heap bytes behind; calloc
  // rather than new[]() because large blocks come as fresh zero pages, which a file that
  // only claims a large picture never makes the system commit.
  PixelBuffer pixels(static_cast<unsigned char*>(std::calloc(byteCount, 1)));
  if (!pixels) {
    return nullptr;
  }
  return new (std::nothrow)
      PixelImage(width, height, format, convertible, std::move(pixels), byteCount);
}

PixelImage::PixelImage(int width, int height, PixelFormat format, bool convertible,
                       PixelBuffer pixels, std::size_t byteCount)
    : width_(width),
      height_(height),
      format_(format),
      convertible_(convertible),
      pixels_(std::move(pixels)),
      byteCount_(byteCount) {
  CORONA_NOTE_IMAGE_MADE();
}

PixelImage::~PixelImage() { CORONA_NOTE_IMAGE_DESTROYED(); }

void PixelImage::destroy() { delete this; }

}  // namespace detail
}  // namespace corona
