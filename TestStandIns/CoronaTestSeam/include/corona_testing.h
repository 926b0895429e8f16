// Test seam of the image library: lets a test decide what CorOpenImageFromFile answers, and
// make images of any pixel format, including the ones no decoder produces (PF_I8 and the two
// blue-first formats) and images whose conversion fails. Not for production code.
#ifndef CORONA_TESTING_H
#define CORONA_TESTING_H

#include <functional>

#include "corona.h"

namespace corona {
namespace testing {

// Decides the result of CorOpenImageFromFile: receives the file's bytes (all of them, read
// from its start) and answers an image made by CreateImage or CreateUnconvertibleImage, or
// null. The library owns what it answers.
using DecoderFunction = std::function<Image*(const unsigned char* bytes, int size)>;

// While alive, CorOpenImageFromFile (with any file format) calls the given function instead
// of the decoders. Overrides nest; the innermost one wins. Not thread-safe: tests only.
class ScopedDecoderOverride {
 public:
  explicit ScopedDecoderOverride(DecoderFunction decoder);
  ~ScopedDecoderOverride();
  ScopedDecoderOverride(const ScopedDecoderOverride&) = delete;
  ScopedDecoderOverride& operator=(const ScopedDecoderOverride&) = delete;

 private:
  DecoderFunction previous_;
};

// An image holding a copy of width x height pixels of the given format (PF_I8 has one byte a
// pixel); pixels may be null for an all-zero image. Null for a size the library refuses.
Image* CreateImage(int width, int height, PixelFormat format, const void* pixels);

// Like CreateImage, but every conversion to another format fails (the image is destroyed and
// null answered), as when the library cannot do it.
Image* CreateUnconvertibleImage(int width, int height, PixelFormat format, const void* pixels);

// Images and files made by the library and not yet destroyed: lets a test check that its
// caller destroys everything it is handed.
int LiveImageCount();
int LiveFileCount();

}  // namespace testing
}  // namespace corona

#endif  // CORONA_TESTING_H
