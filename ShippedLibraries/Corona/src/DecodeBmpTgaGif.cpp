// The only file that compiles stb_image, with its BMP, TGA and GIF readers alone: its PNG and
// JPEG readers are not used here (libspng and TurboJPEG decode those).
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "Decoders.h"
#include "ImageLimits.h"
#include "PixelImage.h"
#include "StbAllocator.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
// stb_image's assertions guard its own invariants, never the input: they must not abort the
// host, whatever a file contains.
#define STBI_ASSERT(condition) ((void)0)
#define STBI_MAX_DIMENSIONS 8192
#define STBI_MALLOC(size) corona::detail::StbAllocate(size)
#define STBI_REALLOC(block, size) corona::detail::StbReallocate(block, size)
#define STBI_FREE(block) corona::detail::StbFree(block)
#include <stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == corona::detail::kMaxImageDimension,
              "stb_image must refuse what the rest of the library refuses");

namespace corona {
namespace detail {

namespace {

// The input as stb_image's callbacks see it. stb_image reads zeros past the end of its input
// instead of failing, so a truncated file would decode "successfully" with black or
// transparent rows: any attempt to read or skip beyond the end marks the file as truncated.
struct CallbackInput {
  const unsigned char* data;
  std::size_t size;
  std::size_t position;
  bool wantedMoreThanExists;
};

int ReadCallback(void* user, char* buffer, int count) {
  auto* input = static_cast<CallbackInput*>(user);
  const std::size_t remaining = input->size - input->position;
  if (count <= 0) {
    return 0;
  }
  if (remaining == 0) {
    input->wantedMoreThanExists = true;
    return 0;
  }
  const std::size_t copied =
      static_cast<std::size_t>(count) < remaining ? static_cast<std::size_t>(count) : remaining;
  std::memcpy(buffer, input->data + input->position, copied);
  input->position += copied;
  return static_cast<int>(copied);
}

void SkipCallback(void* user, int count) {
  auto* input = static_cast<CallbackInput*>(user);
  const std::size_t remaining = input->size - input->position;
  if (count <= 0) {
    return;
  }
  if (static_cast<std::size_t>(count) > remaining) {
    input->wantedMoreThanExists = true;
    input->position = input->size;
    return;
  }
  input->position += static_cast<std::size_t>(count);
}

int EofCallback(void* user) {
  auto* input = static_cast<CallbackInput*>(user);
  return input->position >= input->size ? 1 : 0;
}

const stbi_io_callbacks kCallbacks = {ReadCallback, SkipCallback, EofCallback};

unsigned ReadLittleEndian16(const unsigned char* bytes) {
  return static_cast<unsigned>(bytes[0]) | (static_cast<unsigned>(bytes[1]) << 8);
}

// stb_image reads the pixels of an uncompressed true-colour or grey TGA in whole rows and
// does not check that they were all there: such a file must hold its whole pixel block.
bool TgaPixelBlockComplete(const unsigned char* data, std::size_t size) {
  constexpr std::size_t kHeaderBytes = 18;
  if (size < kHeaderBytes) {
    return true;  // not a TGA; stb_image refuses it itself
  }
  const unsigned imageType = data[2];
  if (imageType != 2 && imageType != 3) {
    return true;  // colour-mapped and run-length pixels are read byte by byte
  }
  const std::uint64_t idBytes = data[0];
  const std::uint64_t colourMapBytes =
      data[1] == 0 ? 0 : std::uint64_t{ReadLittleEndian16(data + 5)} * ((data[7] + 7u) / 8u);
  const std::uint64_t pixelBytes = std::uint64_t{ReadLittleEndian16(data + 12)} *
                                   ReadLittleEndian16(data + 14) * ((data[16] + 7u) / 8u);
  return kHeaderBytes + idBytes + colourMapBytes + pixelBytes <= size;
}

// stb_image negates a BMP's signed height (negative means rows stored top-down) as an int,
// which overflows for the smallest int: such a header is refused before it gets there.
bool BmpHeightNegatable(const unsigned char* data, std::size_t size) {
  constexpr std::size_t kHeightOffset = 22;
  if (size < kHeightOffset + 4 || data[0] != 'B' || data[1] != 'M') {
    return true;
  }
  const unsigned infoHeaderBytes = ReadLittleEndian16(data + 14);
  if (infoHeaderBytes == 12) {
    return true;  // OS/2 header: 16-bit unsigned sizes
  }
  const std::uint32_t height = ReadLittleEndian16(data + kHeightOffset) |
                               (std::uint32_t{ReadLittleEndian16(data + kHeightOffset + 2)} << 16);
  return height != 0x80000000u;
}

struct StbPixelsDeleter {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

Image* DecodeBmpTgaGif(const unsigned char* data, std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX) || !TgaPixelBlockComplete(data, size) ||
      !BmpHeightNegatable(data, size)) {
    return nullptr;
  }
  // The header tells whether the file carries alpha; the size limit is checked by stb_image
  // itself before it allocates (STBI_MAX_DIMENSIONS), and again on what it answers.
  CallbackInput probe{data, size, 0, false};
  int headerWidth = 0;
  int headerHeight = 0;
  int channels = 0;
  if (stbi_info_from_callbacks(&kCallbacks, &probe, &headerWidth, &headerHeight, &channels) == 0) {
    return nullptr;
  }
  const bool alpha = channels == 2 || channels == 4;
  const int wantedChannels = alpha ? 4 : 3;

  CallbackInput input{data, size, 0, false};
  int width = 0;
  int height = 0;
  int fileChannels = 0;
  std::unique_ptr<stbi_uc, StbPixelsDeleter> pixels(stbi_load_from_callbacks(
      &kCallbacks, &input, &width, &height, &fileChannels, wantedChannels));
  std::size_t expectedBytes = 0;
  if (!pixels || input.wantedMoreThanExists ||
      !PixelBufferBytes(width, height, wantedChannels, &expectedBytes)) {
    return nullptr;
  }
  PixelImage* image = PixelImage::Create(width, height, alpha ? PF_R8G8B8A8 : PF_R8G8B8);
  if (image == nullptr) {
    return nullptr;
  }
  std::memcpy(image->bytes(), pixels.get(), expectedBytes);
  return image;
}

}  // namespace detail
}  // namespace corona
