// Image files made by the tests, each with the pixels the library must decode from it,
// computed from the samples written into the file by the format's own expansion rules.
#ifndef CORONA_TESTS_TEST_FILES_H
#define CORONA_TESTS_TEST_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "DecodeThroughCorona.h"

namespace corona_tests {

struct TestFile {
  std::string name;
  Bytes file;
  // Truncating the file at or after this offset leaves every pixel in it (only trailing
  // markers are cut); before it, the picture is incomplete.
  std::size_t pictureEnd = 0;
  int width = 0;
  int height = 0;
  corona::PixelFormat format = corona::PF_DONTCARE;
  Bytes pixels;
};

// PNG through libspng's encoder: colorType 0, 2, 3, 4 or 6 with a bit depth valid for it;
// transparency adds a tRNS chunk (colour types 0, 2, 3).
TestFile MakePng(int colorType, int bitDepth, bool interlaced, bool transparency,
                 std::uint32_t seed);

// JPEG through TurboJPEG's compressor (subsampling is a TJSAMP_ value); its expected pixels
// are TurboJPEG's own decoding of the same bytes.
TestFile MakeJpeg(int width, int height, int subsampling, bool progressive, std::uint32_t seed);
// TurboJPEG's decoding of a JPEG file to RGB, or empty when it refuses it.
Bytes TurboJpegReference(const Bytes& jpeg);

// BMP with BITMAPINFOHEADER, uncompressed: 8 (palette), 24 or 32 bits a pixel, rows stored
// bottom-up unless topDown. zeroAlpha writes 32-bit pixels whose fourth byte is always 0,
// as writers that do not use it do: such a file is opaque.
TestFile MakeBmp(int bitsPerPixel, bool topDown, bool zeroAlpha, std::uint32_t seed);

enum class TgaKind { ColourMapped, TrueColour24, TrueColour32, Grey, RunLength24 };
TestFile MakeTga(TgaKind kind, bool topDown, std::uint32_t seed);

// GIF89a, one frame of 8 colours, optionally with a transparent colour index.
TestFile MakeGif(bool transparency, std::uint32_t seed);

// Every file above in a few variants: the set the corrupt-input tests start from.
std::vector<TestFile> SampleFilesOfEveryFormat();

// Overwrites the 4-byte CRC of the PNG chunk starting at offset (its length field).
void FixPngChunkCrc(Bytes& png, std::size_t chunkOffset);

}  // namespace corona_tests

#endif  // CORONA_TESTS_TEST_FILES_H
