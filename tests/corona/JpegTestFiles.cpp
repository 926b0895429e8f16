#include <turbojpeg.h>

#include <stdexcept>

#include "ByteWriter.h"
#include "TestFiles.h"

namespace corona_tests {

Bytes TurboJpegReference(const Bytes& jpeg) {
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  Bytes pixels;
  if (tjDecompressHeader3(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), &width,
                          &height, &subsampling, &colorspace) == 0) {
    pixels.resize(static_cast<std::size_t>(width) * height * 3);
    if (tjDecompress2(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), pixels.data(),
                      width, width * 3, height, TJPF_RGB, 0) != 0) {
      pixels.clear();
    }
  }
  tjDestroy(handle);
  return pixels;
}

TestFile MakeJpeg(int width, int height, int subsampling, bool progressive, std::uint32_t seed) {
  RandomBytes random(seed);
  // Smooth gradients with noise: every DCT coefficient band carries something.
  Bytes source;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      PutU8(source, (x * 255 / width + random.below(24)) & 0xFF);
      PutU8(source, (y * 255 / height + random.below(24)) & 0xFF);
      PutU8(source, ((x + y) * 4 + random.below(24)) & 0xFF);
    }
  }
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const int flags = progressive ? TJFLAG_PROGRESSIVE : 0;
  const int result = tjCompress2(handle, source.data(), width, 0, height, TJPF_RGB, &jpeg,
                                 &jpegSize, subsampling, 90, flags);
  tjDestroy(handle);
  if (result != 0) {
    throw std::runtime_error("tjCompress2 failed");
  }
  TestFile test;
  test.name = "jpeg " + std::to_string(width) + "x" + std::to_string(height) + " subsampling " +
              std::to_string(subsampling) + (progressive ? " progressive" : " baseline");
  test.file.assign(jpeg, jpeg + jpegSize);
  tjFree(jpeg);
  test.pictureEnd = test.file.size() - 2;  // the end-of-image marker
  test.width = width;
  test.height = height;
  test.format = corona::PF_R8G8B8;
  test.pixels = TurboJpegReference(test.file);
  return test;
}

}  // namespace corona_tests
