#include <spng.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "Decoders.h"
#include "ImageLimits.h"
#include "PixelImage.h"

namespace corona {
namespace detail {

namespace {

// No legitimate PNG this module loads has a single chunk anywhere near this; the cache limit
// bounds what libspng keeps of ancillary chunks (text, profiles) for the whole file.
constexpr std::size_t kMaxChunkBytes = 16u << 20;
constexpr std::size_t kMaxChunkCacheBytes = 32u << 20;

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

Context OpenContext(const unsigned char* data, std::size_t size) {
  Context context(spng_ctx_new(0));
  if (!context) {
    return nullptr;
  }
  spng_ctx* raw = context.get();
  const bool configured =
      spng_set_crc_action(raw, SPNG_CRC_ERROR, SPNG_CRC_ERROR) == 0 &&
      spng_set_image_limits(raw, static_cast<uint32_t>(kMaxImageDimension),
                            static_cast<uint32_t>(kMaxImageDimension)) == 0 &&
      spng_set_chunk_limits(raw, kMaxChunkBytes, kMaxChunkCacheBytes) == 0 &&
      spng_set_png_buffer(raw, data, size) == 0;
  return configured ? std::move(context) : nullptr;
}

bool HasAlpha(spng_ctx* context, const spng_ihdr& header) {
  if (header.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
      header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA) {
    return true;
  }
  spng_trns transparency{};
  return spng_get_trns(context, &transparency) == 0;
}

// libspng stops at the IEND chunk's type without reading its checksum: a file cut inside that
// checksum would pass. A complete file holds the whole, always identical, IEND chunk.
bool HoldsCompleteEndChunk(const unsigned char* data, std::size_t size) {
  static const unsigned char kEndChunk[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  return std::search(data, data + size, std::begin(kEndChunk), std::end(kEndChunk)) != data + size;
}

}  // namespace

Image* DecodePng(const unsigned char* data, std::size_t size) {
  Context context = OpenContext(data, size);
  spng_ihdr header{};
  if (!context || spng_get_ihdr(context.get(), &header) != 0) {
    return nullptr;
  }
  const bool alpha = HasAlpha(context.get(), header);
  const int outputFormat = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
  std::size_t decodedBytes = 0;
  if (spng_decoded_image_size(context.get(), outputFormat, &decodedBytes) != 0) {
    return nullptr;
  }
  PixelImage* image = PixelImage::Create(static_cast<int>(header.width),
                                         static_cast<int>(header.height),
                                         alpha ? PF_R8G8B8A8 : PF_R8G8B8);
  if (image == nullptr || image->byteCount() != decodedBytes) {
    if (image != nullptr) image->destroy();
    return nullptr;
  }
  const int flags = alpha ? SPNG_DECODE_TRNS : 0;
  // Decoding stops once the compressed stream ends, before the last data chunk's checksum;
  // reading the chunks after the picture up to IEND checks it, so a damaged or cut file is
  // refused as a whole.
  if (spng_decode_image(context.get(), image->bytes(), decodedBytes, outputFormat, flags) != 0 ||
      spng_decode_chunks(context.get()) != 0 || !HoldsCompleteEndChunk(data, size)) {
    image->destroy();
    return nullptr;
  }
  return image;
}

}  // namespace detail
}  // namespace corona
