// The library's entry points: argument checks, then one worker each. None lets an exception
// out: every failure is a null result.
#include <cstddef>
#include <vector>

#include "ConvertImage.h"
#include "Decoders.h"
#include "MemoryFile.h"
#include "PixelImage.h"
#include "TestSeamHooks.h"

namespace corona {

namespace {

// The whole file from its start; false when it is empty or cannot be read or measured.
bool ReadWholeFile(File& file, std::vector<unsigned char>* bytes) {
  if (!file.seek(0, SEEK_FROM_END)) {
    return false;
  }
  const int size = file.tell();
  if (size <= 0 || !file.seek(0, SEEK_FROM_BEGIN)) {
    return false;
  }
  bytes->resize(static_cast<std::size_t>(size));
  int filled = 0;
  while (filled < size) {
    const int count = file.read(bytes->data() + filled, size - filled);
    if (count <= 0 || count > size - filled) {
      return false;
    }
    filled += count;
  }
  return true;
}

Image* DecodeAs(FileFormat format, const unsigned char* data, std::size_t size) {
  switch (format) {
    case FF_PNG:
      return detail::DecodePng(data, size);
    case FF_JPEG:
      return detail::DecodeJpeg(data, size);
    case FF_BMP:
    case FF_TGA:
    case FF_GIF:
      return detail::DecodeBmpTgaGif(data, size);
    default:
      return nullptr;
  }
}

Image* Decode(const std::vector<unsigned char>& bytes, FileFormat requested) {
  CORONA_DECODER_OVERRIDE(bytes.data(), static_cast<int>(bytes.size()))
  const FileFormat found = detail::SniffFileFormat(bytes.data(), bytes.size());
  if (requested != FF_AUTODETECT && requested != found) {
    return nullptr;
  }
  return DecodeAs(found, bytes.data(), bytes.size());
}

}  // namespace

File* CorCreateMemoryFile(const void* data, int size) {
  return detail::MemoryFile::Create(data, size);
}

Image* CorOpenImageFromFile(File* file, FileFormat format) {
  if (file == nullptr) {
    return nullptr;
  }
  try {
    std::vector<unsigned char> bytes;
    return ReadWholeFile(*file, &bytes) ? Decode(bytes, format) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

Image* CorConvertImage(Image* image, PixelFormat format) {
  if (image == nullptr || format == PF_DONTCARE || image->getFormat() == format) {
    return image;
  }
  auto* ours = dynamic_cast<detail::PixelImage*>(image);
  detail::PixelImage* converted =
      ours != nullptr && ours->convertible() ? detail::ConvertPixels(*ours, format) : nullptr;
  image->destroy();
  return converted;
}

}  // namespace corona
