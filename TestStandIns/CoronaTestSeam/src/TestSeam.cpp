// The test seam (corona_testing.h).
#include <cstring>
#include <utility>

#include "DecoderOverride.h"
#include "LiveObjects.h"
#include "PixelImage.h"

namespace corona {
namespace detail {

testing::DecoderFunction& ActiveDecoderOverride() {
  static testing::DecoderFunction active;
  return active;
}

}  // namespace detail

namespace testing {

namespace {

Image* MakeImage(int width, int height, PixelFormat format, const void* pixels,
                 bool convertible) {
  detail::PixelImage* image = detail::PixelImage::Create(width, height, format, convertible);
  if (image != nullptr && pixels != nullptr) {
    std::memcpy(image->bytes(), pixels, image->byteCount());
  }
  return image;
}

}  // namespace

ScopedDecoderOverride::ScopedDecoderOverride(DecoderFunction decoder)
    : previous_(std::exchange(detail::ActiveDecoderOverride(), std::move(decoder))) {}

ScopedDecoderOverride::~ScopedDecoderOverride() {
  detail::ActiveDecoderOverride() = std::move(previous_);
}

Image* CreateImage(int width, int height, PixelFormat format, const void* pixels) {
  return MakeImage(width, height, format, pixels, true);
}

Image* CreateUnconvertibleImage(int width, int height, PixelFormat format, const void* pixels) {
  return MakeImage(width, height, format, pixels, false);
}

int LiveImageCount() { return detail::LiveImages().load(); }

int LiveFileCount() { return detail::LiveFiles().load(); }

}  // namespace testing
}  // namespace corona
