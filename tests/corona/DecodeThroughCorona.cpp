#include "DecodeThroughCorona.h"

#include <cstring>

namespace corona_tests {

namespace {

int BytesPerPixel(corona::PixelFormat format) {
  switch (format) {
    case corona::PF_R8G8B8A8:
    case corona::PF_B8G8R8A8:
      return 4;
    case corona::PF_R8G8B8:
    case corona::PF_B8G8R8:
      return 3;
    case corona::PF_I8:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

Decoded DecodeThroughCorona(const Bytes& file, corona::FileFormat format) {
  Decoded result;
  corona::File* memoryFile =
      corona::CorCreateMemoryFile(file.data(), static_cast<int>(file.size()));
  if (memoryFile == nullptr) {
    return result;
  }
  corona::Image* image =
      corona::CorConvertImage(corona::CorOpenImageFromFile(memoryFile, format),
                              corona::PF_DONTCARE);
  memoryFile->destroy();
  if (image == nullptr) {
    return result;
  }
  result.ok = true;
  result.width = image->getWidth();
  result.height = image->getHeight();
  result.format = image->getFormat();
  const std::size_t bytes = static_cast<std::size_t>(result.width) *
                            static_cast<std::size_t>(result.height) *
                            static_cast<std::size_t>(BytesPerPixel(result.format));
  result.pixels.resize(bytes);
  if (bytes != 0) {
    std::memcpy(result.pixels.data(), image->getPixels(), bytes);
  }
  image->destroy();
  return result;
}

}  // namespace corona_tests
