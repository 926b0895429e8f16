// The entry points' contracts: argument checks, memory files, ownership through
// CorConvertImage, pixel-format conversions and the test seam.
#include <gtest/gtest.h>

#include <cstring>

#include "TestFiles.h"
#include "corona_testing.h"

namespace corona_tests {
namespace {

using corona::testing::LiveFileCount;
using corona::testing::LiveImageCount;

// Fails the test when the body leaves library objects alive.
class CoronaApi : public ::testing::Test {
 protected:
  void SetUp() override {
    images_ = LiveImageCount();
    files_ = LiveFileCount();
  }
  void TearDown() override {
    EXPECT_EQ(LiveImageCount(), images_) << "images leaked or destroyed twice";
    EXPECT_EQ(LiveFileCount(), files_) << "files leaked or destroyed twice";
  }

 private:
  int images_ = 0;
  int files_ = 0;
};

Bytes PixelsOf(corona::Image* image, int bytesPerPixel) {
  const auto* bytes = static_cast<const std::uint8_t*>(image->getPixels());
  return Bytes(bytes, bytes + static_cast<std::size_t>(image->getWidth()) * image->getHeight() *
                                  bytesPerPixel);
}

TEST_F(CoronaApi, MemoryFileRefusesNullDataAndNonPositiveSizes) {
  const std::uint8_t byte = 0;
  EXPECT_EQ(corona::CorCreateMemoryFile(nullptr, 10), nullptr);
  EXPECT_EQ(corona::CorCreateMemoryFile(&byte, 0), nullptr);
  EXPECT_EQ(corona::CorCreateMemoryFile(&byte, -1), nullptr);
  EXPECT_EQ(corona::CorCreateMemoryFile(&byte, -2147483647 - 1), nullptr);
}

TEST_F(CoronaApi, MemoryFileReadsSeeksAndTellsWithinItsBytes) {
  const std::uint8_t data[] = {10, 11, 12, 13, 14};
  corona::File* file = corona::CorCreateMemoryFile(data, 5);
  ASSERT_NE(file, nullptr);
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(file->read(buffer, 2), 2);
  EXPECT_EQ(buffer[1], 11);
  EXPECT_EQ(file->tell(), 2);
  EXPECT_EQ(file->read(buffer, 8), 3);
  EXPECT_EQ(buffer[2], 14);
  EXPECT_EQ(file->read(buffer, 8), 0);
  EXPECT_EQ(file->read(nullptr, 8), 0);
  EXPECT_EQ(file->read(buffer, -4), 0);
  EXPECT_TRUE(file->seek(-1, corona::SEEK_FROM_END));
  EXPECT_EQ(file->tell(), 4);
  EXPECT_TRUE(file->seek(-4, corona::SEEK_FROM_CURRENT));
  EXPECT_EQ(file->tell(), 0);
  EXPECT_FALSE(file->seek(-1, corona::SEEK_FROM_CURRENT));
  EXPECT_FALSE(file->seek(6, corona::SEEK_FROM_BEGIN));
  EXPECT_FALSE(file->seek(2147483647, corona::SEEK_FROM_END));
  EXPECT_EQ(file->tell(), 0);
  EXPECT_TRUE(file->seek(5, corona::SEEK_FROM_BEGIN));
  EXPECT_EQ(file->read(buffer, 1), 0);
  file->destroy();
}

TEST_F(CoronaApi, MemoryFileKeepsItsOwnCopyOfTheBytes) {
  const TestFile png = MakePng(2, 8, false, false, 1);
  Bytes callerBuffer = png.file;
  corona::File* file =
      corona::CorCreateMemoryFile(callerBuffer.data(), static_cast<int>(callerBuffer.size()));
  ASSERT_NE(file, nullptr);
  std::fill(callerBuffer.begin(), callerBuffer.end(), 0);
  callerBuffer.clear();
  callerBuffer.shrink_to_fit();
  corona::Image* image = corona::CorOpenImageFromFile(file, corona::FF_AUTODETECT);
  file->destroy();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelsOf(image, 3), png.pixels);
  image->destroy();
}

TEST_F(CoronaApi, OpeningReadsTheWholeFileWhereverItsPositionIs) {
  const TestFile png = MakePng(6, 8, false, false, 2);
  corona::File* file =
      corona::CorCreateMemoryFile(png.file.data(), static_cast<int>(png.file.size()));
  ASSERT_TRUE(file->seek(-3, corona::SEEK_FROM_END));
  corona::Image* image = corona::CorOpenImageFromFile(file, corona::FF_AUTODETECT);
  file->destroy();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelsOf(image, 4), png.pixels);
  image->destroy();
}

TEST_F(CoronaApi, OpeningRefusesANullFileAndUnknownFormatValues) {
  EXPECT_EQ(corona::CorOpenImageFromFile(nullptr, corona::FF_AUTODETECT), nullptr);
  const TestFile png = MakePng(2, 8, false, false, 3);
  corona::File* file =
      corona::CorCreateMemoryFile(png.file.data(), static_cast<int>(png.file.size()));
  EXPECT_EQ(corona::CorOpenImageFromFile(file, static_cast<corona::FileFormat>(0x0103)), nullptr);
  EXPECT_EQ(corona::CorOpenImageFromFile(file, static_cast<corona::FileFormat>(0)), nullptr);
  file->destroy();
}

TEST_F(CoronaApi, ConvertingNullGivesNullAndDontCareGivesTheSameImage) {
  EXPECT_EQ(corona::CorConvertImage(nullptr, corona::PF_DONTCARE), nullptr);
  EXPECT_EQ(corona::CorConvertImage(nullptr, corona::PF_R8G8B8), nullptr);
  corona::Image* image = corona::testing::CreateImage(2, 2, corona::PF_B8G8R8, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(corona::CorConvertImage(image, corona::PF_DONTCARE), image);
  EXPECT_EQ(corona::CorConvertImage(image, corona::PF_B8G8R8), image);
  image->destroy();
}

struct FourPixels {
  corona::PixelFormat format;
  Bytes bytes;
};

// The same four pixels (red, green, blue, grey with alpha 0, 128, 200, 255) in each format;
// formats without alpha carry none, and gain 255 when converted to one with alpha.
std::vector<FourPixels> SamePixelsInEveryFormat() {
  return {{corona::PF_R8G8B8A8, {255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 200, 9, 9, 9, 255}},
          {corona::PF_B8G8R8A8, {0, 0, 255, 0, 0, 255, 0, 128, 255, 0, 0, 200, 9, 9, 9, 255}},
          {corona::PF_R8G8B8, {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}},
          {corona::PF_B8G8R8, {0, 0, 255, 0, 255, 0, 255, 0, 0, 9, 9, 9}}};
}

bool HasAlpha(corona::PixelFormat format) {
  return format == corona::PF_R8G8B8A8 || format == corona::PF_B8G8R8A8;
}

Bytes WithOpaqueAlpha(const FourPixels& pixels) {
  if (!HasAlpha(pixels.format)) return pixels.bytes;
  Bytes bytes = pixels.bytes;
  for (std::size_t alpha = 3; alpha < bytes.size(); alpha += 4) bytes[alpha] = 255;
  return bytes;
}

TEST_F(CoronaApi, ConvertsBetweenEveryPairOfRgbFormatsAndDestroysTheInput) {
  const std::vector<FourPixels> all = SamePixelsInEveryFormat();
  for (const FourPixels& from : all) {
    for (const FourPixels& to : all) {
      if (from.format == to.format) continue;
      SCOPED_TRACE(std::to_string(from.format) + " -> " + std::to_string(to.format));
      corona::Image* source = corona::testing::CreateImage(2, 2, from.format, from.bytes.data());
      const int before = LiveImageCount();
      corona::Image* converted = corona::CorConvertImage(source, to.format);
      ASSERT_NE(converted, nullptr);
      EXPECT_NE(converted, source);
      EXPECT_EQ(LiveImageCount(), before) << "the input must be destroyed";
      EXPECT_EQ(converted->getFormat(), to.format);
      EXPECT_EQ(converted->getWidth(), 2);
      EXPECT_EQ(converted->getHeight(), 2);
      const bool alphaKept = HasAlpha(from.format) && HasAlpha(to.format);
      const Bytes expected = alphaKept ? to.bytes : WithOpaqueAlpha(to);
      EXPECT_EQ(PixelsOf(converted, HasAlpha(to.format) ? 4 : 3), expected);
      converted->destroy();
    }
  }
}

TEST_F(CoronaApi, ConversionsToAndFromIndexedPixelsFailAndDestroyTheInput) {
  const std::uint8_t indices[6] = {0, 1, 2, 3, 4, 5};
  for (corona::PixelFormat target : {corona::PF_R8G8B8A8, corona::PF_R8G8B8,
                                     corona::PF_B8G8R8A8, corona::PF_B8G8R8}) {
    corona::Image* indexed = corona::testing::CreateImage(3, 2, corona::PF_I8, indices);
    ASSERT_NE(indexed, nullptr);
    const int before = LiveImageCount();
    EXPECT_EQ(corona::CorConvertImage(indexed, target), nullptr);
    EXPECT_EQ(LiveImageCount(), before - 1);

    corona::Image* rgb = corona::testing::CreateImage(3, 2, target, nullptr);
    EXPECT_EQ(corona::CorConvertImage(rgb, corona::PF_I8), nullptr);
    EXPECT_EQ(LiveImageCount(), before - 1);
  }
  corona::Image* rgb = corona::testing::CreateImage(3, 2, corona::PF_R8G8B8, nullptr);
  EXPECT_EQ(corona::CorConvertImage(rgb, static_cast<corona::PixelFormat>(0x0299)), nullptr);
}

TEST_F(CoronaApi, UnconvertibleTestImagesFailEveryConversionButDontCare) {
  const Bytes pixels = SamePixelsInEveryFormat()[1].bytes;
  corona::Image* image =
      corona::testing::CreateUnconvertibleImage(2, 2, corona::PF_B8G8R8A8, pixels.data());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelsOf(image, 4), pixels);
  EXPECT_EQ(corona::CorConvertImage(image, corona::PF_DONTCARE), image);
  const int before = LiveImageCount();
  EXPECT_EQ(corona::CorConvertImage(image, corona::PF_R8G8B8A8), nullptr);
  EXPECT_EQ(LiveImageCount(), before - 1);
}

TEST_F(CoronaApi, TestImagesRefuseSizesTheDecodersRefuse) {
  EXPECT_EQ(corona::testing::CreateImage(0, 1, corona::PF_R8G8B8, nullptr), nullptr);
  EXPECT_EQ(corona::testing::CreateImage(1, -1, corona::PF_R8G8B8, nullptr), nullptr);
  EXPECT_EQ(corona::testing::CreateImage(8193, 1, corona::PF_R8G8B8, nullptr), nullptr);
  EXPECT_EQ(corona::testing::CreateImage(1, 1, corona::PF_DONTCARE, nullptr), nullptr);
  corona::Image* largest = corona::testing::CreateImage(8192, 1, corona::PF_I8, nullptr);
  ASSERT_NE(largest, nullptr);
  largest->destroy();
}

TEST_F(CoronaApi, DecoderOverrideAnswersWithTheTestsImagesAndSeesTheFileBytes) {
  const TestFile png = MakePng(2, 8, false, false, 4);
  Bytes seen;
  {
    corona::testing::ScopedDecoderOverride outer([&](const unsigned char* bytes, int size) {
      seen.assign(bytes, bytes + size);
      return corona::testing::CreateImage(4, 3, corona::PF_I8, nullptr);
    });
    corona::File* file =
        corona::CorCreateMemoryFile(png.file.data(), static_cast<int>(png.file.size()));
    corona::Image* image = corona::CorOpenImageFromFile(file, corona::FF_AUTODETECT);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getFormat(), corona::PF_I8);
    EXPECT_EQ(image->getWidth(), 4);
    image->destroy();
    EXPECT_EQ(seen, png.file);
    {
      corona::testing::ScopedDecoderOverride inner(
          [](const unsigned char*, int) -> corona::Image* { return nullptr; });
      EXPECT_EQ(corona::CorOpenImageFromFile(file, corona::FF_PNG), nullptr);
    }
    image = corona::CorOpenImageFromFile(file, corona::FF_AUTODETECT);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getFormat(), corona::PF_I8);
    image->destroy();
    file->destroy();
  }
  const Decoded decoded = DecodeThroughCorona(png.file);
  ASSERT_TRUE(decoded.ok) << "the real decoders are back once the override ends";
  EXPECT_EQ(decoded.pixels, png.pixels);
}

TEST_F(CoronaApi, DecoderOverrideThatThrowsGivesNull) {
  corona::testing::ScopedDecoderOverride throwing(
      [](const unsigned char*, int) -> corona::Image* { throw std::runtime_error("test"); });
  const std::uint8_t byte = 1;
  corona::File* file = corona::CorCreateMemoryFile(&byte, 1);
  EXPECT_EQ(corona::CorOpenImageFromFile(file, corona::FF_AUTODETECT), nullptr);
  file->destroy();
}

}  // namespace
}  // namespace corona_tests
