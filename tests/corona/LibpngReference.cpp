#include "LibpngReference.h"

#include <png.h>

#include <cstring>

namespace corona_tests {

namespace {

struct MemoryReader {
  const Bytes* bytes;
  std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->bytes->size() - reader->position) {
    png_error(png, "read past the end");
  }
  std::memcpy(out, reader->bytes->data() + reader->position, count);
  reader->position += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Plain C data only between setjmp and the longjmp libpng takes on an error: no object with a
// destructor may be skipped. Rows land in a buffer the caller owns.
bool ReadWithLibpng(const Bytes& file, png_uint_32* width, png_uint_32* height, int* channels,
                    Bytes* pixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader{&file, 0};
  // volatile: changed after setjmp and read after the longjmp back to it.
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    delete[] rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  *channels = png_get_channels(png, info);
  pixels->assign(static_cast<std::size_t>(*width) * *height * *channels, 0);
  rows = new png_bytep[*height];
  for (png_uint_32 y = 0; y < *height; ++y) {
    rows[y] = pixels->data() + static_cast<std::size_t>(y) * *width * *channels;
  }
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  delete[] rows;
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

Decoded LibpngReference(const Bytes& file) {
  Decoded result;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int channels = 0;
  Bytes pixels;
  if (!ReadWithLibpng(file, &width, &height, &channels, &pixels)) {
    return result;
  }
  result.ok = channels == 3 || channels == 4;
  result.width = static_cast<int>(width);
  result.height = static_cast<int>(height);
  result.format = channels == 4 ? corona::PF_R8G8B8A8 : corona::PF_R8G8B8;
  result.pixels = std::move(pixels);
  return result;
}

}  // namespace corona_tests
