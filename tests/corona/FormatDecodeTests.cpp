// Every format and colour type the library reads, decoded from files the tests wrote and
// compared pixel by pixel with what was written.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "TestFiles.h"

namespace corona_tests {
namespace {

std::string FirstDifference(const Bytes& expected, const Bytes& actual, int channels) {
  for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
    if (expected[i] != actual[i]) {
      return "pixel " + std::to_string(i / channels) + " channel " +
             std::to_string(i % channels) + ": expected " + std::to_string(expected[i]) +
             ", got " + std::to_string(actual[i]);
    }
  }
  return "sizes differ: expected " + std::to_string(expected.size()) + " bytes, got " +
         std::to_string(actual.size());
}

void ExpectDecodesExactly(const TestFile& test,
                          corona::FileFormat format = corona::FF_AUTODETECT) {
  SCOPED_TRACE(test.name);
  const Decoded decoded = DecodeThroughCorona(test.file, format);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, test.width);
  EXPECT_EQ(decoded.height, test.height);
  ASSERT_EQ(decoded.format, test.format);
  ASSERT_FALSE(test.pixels.empty());
  const int channels = test.format == corona::PF_R8G8B8A8 ? 4 : 3;
  EXPECT_TRUE(decoded.pixels == test.pixels)
      << FirstDifference(test.pixels, decoded.pixels, channels);
}

struct PngKind {
  int colorType;
  std::vector<int> depths;
  bool mayHaveTransparencyChunk;
};

TEST(PngDecoding, EveryColourTypeAndDepthPlainInterlacedAndWithTransparency) {
  const PngKind kinds[] = {{0, {1, 2, 4, 8, 16}, true},
                           {2, {8, 16}, true},
                           {3, {1, 2, 4, 8}, true},
                           {4, {8, 16}, false},
                           {6, {8, 16}, false}};
  std::uint32_t seed = 100;
  for (const PngKind& kind : kinds) {
    for (int depth : kind.depths) {
      for (bool interlaced : {false, true}) {
        for (bool transparency : {false, true}) {
          if (transparency && !kind.mayHaveTransparencyChunk) continue;
          ExpectDecodesExactly(MakePng(kind.colorType, depth, interlaced, transparency, ++seed));
        }
      }
    }
  }
}

TEST(PngDecoding, OpensWhenNamedExplicitlyAndNotAsAnotherFormat) {
  const TestFile png = MakePng(2, 8, false, false, 7);
  ExpectDecodesExactly(png, corona::FF_PNG);
  EXPECT_FALSE(DecodeThroughCorona(png.file, corona::FF_JPEG).ok);
  EXPECT_FALSE(DecodeThroughCorona(png.file, corona::FF_TGA).ok);
}

TEST(JpegDecoding, BaselineAndProgressiveInEverySubsamplingMatchTurboJpeg) {
  const int subsamplings[] = {TJSAMP_444, TJSAMP_422, TJSAMP_420, TJSAMP_GRAY, TJSAMP_440,
                              TJSAMP_411};
  std::uint32_t seed = 200;
  for (int subsampling : subsamplings) {
    for (bool progressive : {false, true}) {
      // Odd sizes leave partial blocks and partial subsampled pixel pairs at both edges.
      ExpectDecodesExactly(MakeJpeg(37, 23, subsampling, progressive, ++seed));
    }
  }
}

TEST(JpegDecoding, OpensWhenNamedExplicitlyAndNotAsAnotherFormat) {
  const TestFile jpeg = MakeJpeg(16, 16, TJSAMP_420, false, 9);
  ExpectDecodesExactly(jpeg, corona::FF_JPEG);
  EXPECT_FALSE(DecodeThroughCorona(jpeg.file, corona::FF_PNG).ok);
  EXPECT_FALSE(DecodeThroughCorona(jpeg.file, corona::FF_BMP).ok);
}

TEST(BmpDecoding, PaletteTrueColourAndAlphaBottomUpAndTopDown) {
  std::uint32_t seed = 300;
  for (int bits : {8, 24, 32}) {
    for (bool topDown : {false, true}) {
      ExpectDecodesExactly(MakeBmp(bits, topDown, false, ++seed));
    }
  }
  ExpectDecodesExactly(MakeBmp(24, false, false, ++seed), corona::FF_BMP);
}

TEST(BmpDecoding, ThirtyTwoBitPixelsWithAllAlphaBytesZeroAreOpaque) {
  const TestFile bmp = MakeBmp(32, false, true, 350);
  for (std::size_t alpha = 3; alpha < bmp.pixels.size(); alpha += 4) {
    ASSERT_EQ(bmp.pixels[alpha], 255);
  }
  ExpectDecodesExactly(bmp);
}

TEST(TgaDecoding, ColourMappedTrueColourGreyAndRunLengthInBothRowOrders) {
  std::uint32_t seed = 400;
  for (TgaKind kind : {TgaKind::ColourMapped, TgaKind::TrueColour24, TgaKind::TrueColour32,
                       TgaKind::Grey, TgaKind::RunLength24}) {
    for (bool topDown : {false, true}) {
      ExpectDecodesExactly(MakeTga(kind, topDown, ++seed));
    }
  }
  ExpectDecodesExactly(MakeTga(TgaKind::TrueColour24, false, ++seed), corona::FF_TGA);
}

TEST(GifDecoding, FirstFrameOpaqueAndWithATransparentIndex) {
  ExpectDecodesExactly(MakeGif(false, 500));
  const TestFile transparent = MakeGif(true, 501);
  ExpectDecodesExactly(transparent);
  ExpectDecodesExactly(transparent, corona::FF_GIF);
}

TEST(GifDecoding, ReadsOnlyTheFirstFrame) {
  const TestFile first = MakeGif(false, 510);
  const TestFile second = MakeGif(false, 511);  // same header layout, other colours
  // Append the second file's frame (its palette made local) before the first's trailer.
  constexpr std::size_t kHeaderAndTable = 13 + 8 * 3;
  Bytes animated(first.file.begin(), first.file.end() - 1);
  const std::size_t descriptor = kHeaderAndTable;
  Bytes frame(second.file.begin() + static_cast<std::ptrdiff_t>(descriptor),
              second.file.end() - 1);
  frame[9] = 0x82;  // local colour table of 8 entries follows the descriptor
  frame.insert(frame.begin() + 10, second.file.begin() + 13,
               second.file.begin() + static_cast<std::ptrdiff_t>(kHeaderAndTable));
  animated.insert(animated.end(), frame.begin(), frame.end());
  animated.push_back(0x3B);
  TestFile test = first;
  test.file = animated;
  ExpectDecodesExactly(test);
}

}  // namespace
}  // namespace corona_tests
