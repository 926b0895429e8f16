// Hostile input: truncated, bit-flipped, oversized and random files decode to null (or, where
// the damage leaves a valid file, to a consistent picture), never a crash, a hang or a huge
// allocation. The native build runs these under AddressSanitizer and UBSan.
#include <gtest/gtest.h>

#include "ByteWriter.h"
#include "TestFiles.h"

namespace corona_tests {
namespace {

// Offsets to cut at: every one in small files, about 400 spread evenly in larger ones.
std::vector<std::size_t> CutOffsets(std::size_t size) {
  std::vector<std::size_t> offsets;
  const std::size_t step = size <= 1200 ? 1 : size / 400;
  for (std::size_t offset = 0; offset < size; offset += step) offsets.push_back(offset);
  offsets.push_back(size - 1);
  return offsets;
}

TEST(CorruptInput, TruncatedInsideThePictureGivesNullAfterItTheWholePictureOrNull) {
  for (const TestFile& test : SampleFilesOfEveryFormat()) {
    SCOPED_TRACE(test.name);
    ASSERT_TRUE(DecodeThroughCorona(test.file).ok);
    for (std::size_t cut : CutOffsets(test.file.size())) {
      const Bytes truncated(test.file.begin(), test.file.begin() + static_cast<std::ptrdiff_t>(cut));
      const Decoded decoded = DecodeThroughCorona(truncated);
      if (cut < test.pictureEnd) {
        EXPECT_FALSE(decoded.ok) << "cut at " << cut << " of " << test.file.size();
      } else if (decoded.ok) {
        EXPECT_EQ(decoded.pixels, test.pixels) << "cut at " << cut;
      }
    }
  }
}

// A flipped byte may leave a valid file of another picture (a pixel value, a palette entry),
// so only consistency is checked, except for PNG, whose chunk checksums catch every flip.
TEST(CorruptInput, FlippedBytesNeverCrashAndPngChecksumsCatchThemAll) {
  for (const TestFile& test : SampleFilesOfEveryFormat()) {
    SCOPED_TRACE(test.name);
    const bool png = test.file[1] == 'P';
    for (std::size_t offset : CutOffsets(test.file.size())) {
      for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
        Bytes damaged = test.file;
        damaged[offset] ^= mask;
        const Decoded decoded = DecodeThroughCorona(damaged);
        if (png && offset < test.pictureEnd) {
          EXPECT_FALSE(decoded.ok) << "flip " << int{mask} << " at " << offset;
        }
        if (decoded.ok) {
          EXPECT_GE(decoded.width, 1);
          EXPECT_LE(decoded.width, 8192);
          EXPECT_GE(decoded.height, 1);
          EXPECT_LE(decoded.height, 8192);
        }
      }
    }
  }
}

// Several random edits at once (bytes replaced, bits flipped, extreme values, cuts) reach
// states single flips do not. Each round's edits come from its own seed, printed on failure.
TEST(CorruptInput, SeededRandomEditsNeverCrashOrAnswerOutOfLimits) {
  const std::vector<TestFile> samples = SampleFilesOfEveryFormat();
  constexpr std::uint32_t kRounds = 6000;
  for (std::uint32_t round = 0; round < kRounds; ++round) {
    const TestFile& test = samples[round % samples.size()];
    RandomBytes random(round);
    Bytes damaged = test.file;
    const unsigned edits = 1 + random.below(8);
    for (unsigned edit = 0; edit < edits && damaged.size() > 1; ++edit) {
      const std::size_t offset = random.below(static_cast<unsigned>(damaged.size()));
      switch (random.below(4)) {
        case 0: damaged[offset] = random.next(); break;
        case 1: damaged[offset] ^= static_cast<std::uint8_t>(1u << random.below(8)); break;
        case 2: damaged.resize(offset + 1); break;
        default: {
          static const std::uint8_t kExtremes[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
          damaged[offset] = kExtremes[random.below(5)];
        }
      }
    }
    const Decoded decoded = DecodeThroughCorona(damaged);
    if (decoded.ok) {
      EXPECT_TRUE(decoded.width >= 1 && decoded.width <= 8192 && decoded.height >= 1 &&
                  decoded.height <= 8192)
          << test.name << ", seed " << round;
    }
  }
}

void PutBE32At(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void PutLE16At(Bytes& bytes, std::size_t offset, unsigned value) {
  bytes[offset] = value & 0xFF;
  bytes[offset + 1] = (value >> 8) & 0xFF;
}

void PutLE32At(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  PutLE16At(bytes, offset, value & 0xFFFF);
  PutLE16At(bytes, offset + 2, value >> 16);
}

TEST(CorruptInput, PngHeadersClaimingMoreThanTheLimitAreRefused) {
  const TestFile png = MakePng(6, 8, false, false, 30);
  constexpr std::size_t kIhdr = 8;  // chunk start: length, type, then width and height
  const std::uint32_t sizes[][2] = {{8193, 1}, {1, 8193}, {0x7FFFFFFF, 0x7FFFFFFF},
                                    {0xFFFFFFFF, 1}, {0, 5}, {8192, 8192}, {65536, 65536}};
  for (const auto& size : sizes) {
    Bytes damaged = png.file;
    PutBE32At(damaged, kIhdr + 8, size[0]);
    PutBE32At(damaged, kIhdr + 12, size[1]);
    FixPngChunkCrc(damaged, kIhdr);
    EXPECT_FALSE(DecodeThroughCorona(damaged).ok) << size[0] << " x " << size[1];
  }
}

TEST(CorruptInput, JpegFramesClaimingMoreThanTheLimitAreRefused) {
  const TestFile jpeg = MakeJpeg(16, 16, 0, false, 31);
  std::size_t frame = 2;
  while (frame + 1 < jpeg.file.size() &&
         !(jpeg.file[frame] == 0xFF && (jpeg.file[frame + 1] == 0xC0 || jpeg.file[frame + 1] == 0xC2))) {
    ++frame;
  }
  ASSERT_LT(frame + 9, jpeg.file.size());
  for (unsigned side : {8193u, 65535u}) {
    Bytes damaged = jpeg.file;
    damaged[frame + 5] = static_cast<std::uint8_t>(side >> 8);  // height
    damaged[frame + 6] = side & 0xFF;
    damaged[frame + 7] = static_cast<std::uint8_t>(side >> 8);  // width
    damaged[frame + 8] = side & 0xFF;
    EXPECT_FALSE(DecodeThroughCorona(damaged).ok) << side;
  }
}

TEST(CorruptInput, BmpTgaAndGifHeadersWithAbsurdSizesAreRefused) {
  const TestFile bmp = MakeBmp(24, false, false, 32);
  const std::int32_t bmpSizes[][2] = {{8193, 4},   {5, 8193},  {100000, 100000},
                                      {-5, 4},     {0, 4},     {5, 0},
                                      {5, -2147483647 - 1},    {2147483647, 2}};
  for (const auto& size : bmpSizes) {
    Bytes damaged = bmp.file;
    PutLE32At(damaged, 18, static_cast<std::uint32_t>(size[0]));
    PutLE32At(damaged, 22, static_cast<std::uint32_t>(size[1]));
    EXPECT_FALSE(DecodeThroughCorona(damaged).ok) << "bmp " << size[0] << " x " << size[1];
  }
  Bytes hugeOffset = bmp.file;
  PutLE32At(hugeOffset, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(DecodeThroughCorona(hugeOffset).ok) << "bmp pixel offset past the end";

  for (TgaKind kind : {TgaKind::TrueColour24, TgaKind::RunLength24, TgaKind::ColourMapped}) {
    const TestFile tga = MakeTga(kind, false, 33);
    const unsigned tgaSizes[][2] = {{8193, 5}, {7, 8193}, {65535, 65535}, {0, 5}, {7, 0},
                                    {700, 500}};
    for (const auto& size : tgaSizes) {
      Bytes damaged = tga.file;
      PutLE16At(damaged, 12, size[0]);
      PutLE16At(damaged, 14, size[1]);
      EXPECT_FALSE(DecodeThroughCorona(damaged).ok)
          << tga.name << " " << size[0] << " x " << size[1];
    }
  }

  const TestFile gif = MakeGif(false, 34);
  const unsigned gifSizes[][2] = {{8193, 6}, {11, 8193}, {65535, 65535}, {0, 6}};
  for (const auto& size : gifSizes) {
    Bytes damaged = gif.file;
    PutLE16At(damaged, 6, size[0]);  // logical screen
    PutLE16At(damaged, 8, size[1]);
    PutLE16At(damaged, 13 + 24 + 5, size[0]);  // image descriptor
    PutLE16At(damaged, 13 + 24 + 7, size[1]);
    EXPECT_FALSE(DecodeThroughCorona(damaged).ok) << "gif " << size[0] << " x " << size[1];
  }
}

TEST(CorruptInput, EmptyAndTinyFilesGiveNull) {
  EXPECT_EQ(corona::CorCreateMemoryFile(nullptr, 0), nullptr);
  const Bytes signatures[] = {{0x89, 'P', 'N', 'G'}, {0xFF, 0xD8, 0xFF}, {'B', 'M'},
                              {'G', 'I', 'F', '8', '9', 'a'}, {0}, {0, 0, 2}};
  for (const Bytes& tiny : signatures) {
    EXPECT_FALSE(DecodeThroughCorona(tiny).ok);
  }
}

TEST(CorruptInput, RandomBytesGiveNullWithOrWithoutAValidSignature) {
  const Bytes signatures[] = {{},
                              {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
                              {0xFF, 0xD8, 0xFF},
                              {'B', 'M'},
                              {'G', 'I', 'F', '8', '9', 'a'},
                              {0, 0, 2}};
  RandomBytes random(40);
  for (const Bytes& signature : signatures) {
    for (int round = 0; round < 150; ++round) {
      Bytes bytes = signature;
      const unsigned length = 1 + random.below(round < 100 ? 64 : 4096);
      for (unsigned i = 0; i < length; ++i) bytes.push_back(random.next());
      EXPECT_FALSE(DecodeThroughCorona(bytes).ok)
          << "signature of " << signature.size() << " bytes, round " << round;
    }
  }
}

}  // namespace
}  // namespace corona_tests
