#include <cstring>

#include "Decoders.h"

namespace corona {
namespace detail {

namespace {

bool StartsWith(const unsigned char* data, std::size_t size, const char* signature,
                std::size_t length) {
  return size >= length && std::memcmp(data, signature, length) == 0;
}

}  // namespace

FileFormat SniffFileFormat(const unsigned char* data, std::size_t size) {
  if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8)) {
    return FF_PNG;
  }
  if (StartsWith(data, size, "\xff\xd8\xff", 3)) {
    return FF_JPEG;
  }
  if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) {
    return FF_GIF;
  }
  if (StartsWith(data, size, "BM", 2)) {
    return FF_BMP;
  }
  return FF_TGA;
}

}  // namespace detail
}  // namespace corona
