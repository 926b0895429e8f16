#include <turbojpeg.h>

#include <memory>

#include "Decoders.h"
#include "PixelImage.h"

namespace corona {
namespace detail {

namespace {

struct HandleDeleter {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

// A warning (such as data ending before the last scan) means the picture is incomplete:
// stop there rather than hand out a half-grey picture. A progressive file with an absurd
// number of scans could otherwise keep the decoder busy for minutes.
constexpr int kDecodeFlags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;

}  // namespace

Image* DecodeJpeg(const unsigned char* data, std::size_t size) {
  // The library's files hold at most INT_MAX bytes, so size fits TurboJPEG's unsigned long.
  Handle handle(tjInitDecompress());
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (!handle || tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(size), &width,
                                     &height, &subsampling, &colorspace) != 0) {
    return nullptr;
  }
  PixelImage* image = PixelImage::Create(width, height, PF_R8G8B8);
  if (image == nullptr) {
    return nullptr;
  }
  if (tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), image->bytes(), width,
                    width * 3, height, TJPF_RGB, kDecodeFlags) != 0) {
    image->destroy();
    return nullptr;
  }
  return image;
}

}  // namespace detail
}  // namespace corona
