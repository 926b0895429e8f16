// BMP, TGA and GIF files written byte by byte.
#include <algorithm>
#include <array>
#include <stdexcept>

#include "ByteWriter.h"
#include "TestFiles.h"

namespace corona_tests {

namespace {

using Rgba = std::array<std::uint8_t, 4>;

Rgba RandomColour(RandomBytes& random, bool randomAlpha) {
  return {random.next(), random.next(), random.next(),
          randomAlpha ? random.next() : std::uint8_t{255}};
}

void AppendExpected(TestFile& test, const Rgba& colour) {
  const int channels = test.format == corona::PF_R8G8B8A8 ? 4 : 3;
  for (int c = 0; c < channels; ++c) PutU8(test.pixels, colour[c]);
}

// Row index in the file of picture row y (the picture's top row is y = 0).
int StoredRow(int y, int height, bool topDown) { return topDown ? y : height - 1 - y; }

}  // namespace

TestFile MakeBmp(int bitsPerPixel, bool topDown, bool zeroAlpha, std::uint32_t seed) {
  RandomBytes random(seed);
  const int width = 5;  // 5 pixels leave row padding at every depth
  const int height = 4;
  const int stride = (width * bitsPerPixel + 31) / 32 * 4;
  const int paletteEntries = bitsPerPixel == 8 ? 256 : 0;
  const std::uint32_t pixelOffset = 14 + 40 + 4 * paletteEntries;
  const std::uint32_t fileSize = pixelOffset + static_cast<std::uint32_t>(stride * height);

  TestFile test;
  test.name = "bmp " + std::to_string(bitsPerPixel) + " bit" + (topDown ? " top-down" : "") +
              (zeroAlpha ? " unused alpha" : "");
  test.width = width;
  test.height = height;
  test.format = bitsPerPixel == 32 ? corona::PF_R8G8B8A8 : corona::PF_R8G8B8;

  std::vector<Rgba> palette;
  for (int i = 0; i < paletteEntries; ++i) palette.push_back(RandomColour(random, false));
  std::vector<Rgba> picture;  // top row first
  std::vector<unsigned> indices;
  for (int i = 0; i < width * height; ++i) {
    if (bitsPerPixel == 8) {
      indices.push_back(random.next());
      picture.push_back(palette[indices.back()]);
    } else {
      Rgba colour = RandomColour(random, bitsPerPixel == 32 && !zeroAlpha);
      picture.push_back(colour);
    }
  }

  Bytes& out = test.file;
  out = {'B', 'M'};
  PutLE32(out, fileSize);
  PutLE32(out, 0);
  PutLE32(out, pixelOffset);
  PutLE32(out, 40);
  PutLE32(out, width);
  PutLE32(out, static_cast<std::uint32_t>(topDown ? -height : height));
  PutLE16(out, 1);
  PutLE16(out, static_cast<unsigned>(bitsPerPixel));
  PutLE32(out, 0);  // uncompressed
  PutLE32(out, static_cast<std::uint32_t>(stride * height));
  PutLE32(out, 2835);
  PutLE32(out, 2835);
  PutLE32(out, static_cast<std::uint32_t>(paletteEntries));
  PutLE32(out, 0);
  for (const Rgba& colour : palette) {
    PutU8(out, colour[2]);
    PutU8(out, colour[1]);
    PutU8(out, colour[0]);
    PutU8(out, 0);
  }
  for (int row = 0; row < height; ++row) {
    const int y = StoredRow(row, height, topDown);
    std::size_t rowStart = out.size();
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * width + x;
      if (bitsPerPixel == 8) {
        PutU8(out, indices[i]);
        continue;
      }
      PutU8(out, picture[i][2]);
      PutU8(out, picture[i][1]);
      PutU8(out, picture[i][0]);
      if (bitsPerPixel == 32) PutU8(out, zeroAlpha ? 0 : picture[i][3]);
    }
    while (out.size() - rowStart < static_cast<std::size_t>(stride)) PutU8(out, 0);
  }
  test.pictureEnd = out.size();
  for (const Rgba& colour : picture) AppendExpected(test, colour);
  return test;
}

TestFile MakeTga(TgaKind kind, bool topDown, std::uint32_t seed) {
  RandomBytes random(seed);
  const int width = 7;
  const int height = 5;
  const bool colourMapped = kind == TgaKind::ColourMapped;
  const int mapEntries = 24;
  int imageType = 2;
  int bitsPerPixel = 24;
  switch (kind) {
    case TgaKind::ColourMapped: imageType = 1; bitsPerPixel = 8; break;
    case TgaKind::TrueColour24: break;
    case TgaKind::TrueColour32: bitsPerPixel = 32; break;
    case TgaKind::Grey: imageType = 3; bitsPerPixel = 8; break;
    case TgaKind::RunLength24: imageType = 10; break;
  }

  TestFile test;
  test.name = "tga type " + std::to_string(imageType) + " " + std::to_string(bitsPerPixel) +
              " bit" + (topDown ? " top-down" : "");
  test.width = width;
  test.height = height;
  test.format = bitsPerPixel == 32 ? corona::PF_R8G8B8A8 : corona::PF_R8G8B8;

  std::vector<Rgba> map;
  for (int i = 0; colourMapped && i < mapEntries; ++i) map.push_back(RandomColour(random, false));
  std::vector<Rgba> picture;
  std::vector<unsigned> indices;
  for (int i = 0; i < width * height; ++i) {
    if (colourMapped) {
      indices.push_back(random.below(mapEntries));
      picture.push_back(map[indices.back()]);
    } else if (kind == TgaKind::Grey) {
      const std::uint8_t grey = random.next();
      picture.push_back({grey, grey, grey, 255});
    } else if (kind == TgaKind::RunLength24 && i % 4 != 0) {
      picture.push_back(picture.back());  // runs of four
    } else {
      picture.push_back(RandomColour(random, bitsPerPixel == 32));
    }
  }

  Bytes& out = test.file;
  const std::string id = "dd7r";
  PutU8(out, static_cast<unsigned>(id.size()));
  PutU8(out, colourMapped ? 1 : 0);
  PutU8(out, static_cast<unsigned>(imageType));
  PutLE16(out, 0);
  PutLE16(out, colourMapped ? mapEntries : 0);
  PutU8(out, colourMapped ? 24 : 0);
  PutLE16(out, 0);
  PutLE16(out, 0);
  PutLE16(out, width);
  PutLE16(out, height);
  PutU8(out, static_cast<unsigned>(bitsPerPixel));
  PutU8(out, (bitsPerPixel == 32 ? 8 : 0) | (topDown ? 0x20 : 0));
  out.insert(out.end(), id.begin(), id.end());
  for (const Rgba& colour : map) {
    PutU8(out, colour[2]);
    PutU8(out, colour[1]);
    PutU8(out, colour[0]);
  }
  std::vector<std::size_t> order;  // picture indices in file order
  for (int row = 0; row < height; ++row) {
    const int y = StoredRow(row, height, topDown);
    for (int x = 0; x < width; ++x) order.push_back(static_cast<std::size_t>(y) * width + x);
  }
  auto putPixel = [&](std::size_t i) {
    if (colourMapped) {
      PutU8(out, indices[i]);
    } else if (kind == TgaKind::Grey) {
      PutU8(out, picture[i][0]);
    } else {
      PutU8(out, picture[i][2]);
      PutU8(out, picture[i][1]);
      PutU8(out, picture[i][0]);
      if (bitsPerPixel == 32) PutU8(out, picture[i][3]);
    }
  };
  if (kind == TgaKind::RunLength24) {
    // Alternating run packets and raw packets, never longer than what is left.
    std::size_t next = 0;
    bool run = true;
    while (next < order.size()) {
      const std::size_t count = std::min<std::size_t>(run ? 3 : 2, order.size() - next);
      if (run) {
        PutU8(out, 0x80 | static_cast<unsigned>(count - 1));
        putPixel(order[next]);
        for (std::size_t k = 1; k < count; ++k) picture[order[next + k]] = picture[order[next]];
      } else {
        PutU8(out, static_cast<unsigned>(count - 1));
        for (std::size_t k = 0; k < count; ++k) putPixel(order[next + k]);
      }
      next += count;
      run = !run;
    }
  } else {
    for (std::size_t i : order) putPixel(i);
  }
  test.pictureEnd = out.size();
  for (const Rgba& colour : picture) AppendExpected(test, colour);
  return test;
}

namespace {

// LZW codes of a GIF raster, packed least significant bit first into sub-blocks. Every pixel
// is sent as its literal code, with a clear code often enough that the code width never grows.
Bytes GifRaster(const std::vector<unsigned>& indices, int minimumCodeSize) {
  const unsigned clear = 1u << minimumCodeSize;
  const unsigned end = clear + 1;
  const int codeWidth = minimumCodeSize + 1;
  const std::size_t literalsPerClear = clear - 2;
  std::vector<unsigned> codes;
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % literalsPerClear == 0) codes.push_back(clear);
    codes.push_back(indices[i]);
  }
  codes.push_back(end);
  Bytes packed;
  unsigned accumulator = 0;
  int bitsHeld = 0;
  for (unsigned code : codes) {
    accumulator |= code << bitsHeld;
    bitsHeld += codeWidth;
    while (bitsHeld >= 8) {
      PutU8(packed, accumulator & 0xFF);
      accumulator >>= 8;
      bitsHeld -= 8;
    }
  }
  if (bitsHeld > 0) PutU8(packed, accumulator & 0xFF);

  Bytes blocks;
  PutU8(blocks, static_cast<unsigned>(minimumCodeSize));
  for (std::size_t start = 0; start < packed.size(); start += 255) {
    const std::size_t length = std::min<std::size_t>(255, packed.size() - start);
    PutU8(blocks, static_cast<unsigned>(length));
    blocks.insert(blocks.end(), packed.begin() + static_cast<std::ptrdiff_t>(start),
                  packed.begin() + static_cast<std::ptrdiff_t>(start + length));
  }
  PutU8(blocks, 0);
  return blocks;
}

}  // namespace

TestFile MakeGif(bool transparency, std::uint32_t seed) {
  RandomBytes random(seed);
  const int width = 11;
  const int height = 6;
  const int colours = 8;
  const unsigned transparentIndex = 3;

  TestFile test;
  test.name = std::string("gif") + (transparency ? " transparent" : "");
  test.width = width;
  test.height = height;
  test.format = corona::PF_R8G8B8A8;

  std::vector<Rgba> palette;
  for (int i = 0; i < colours; ++i) palette.push_back(RandomColour(random, false));
  std::vector<unsigned> indices;
  for (int i = 0; i < width * height; ++i) indices.push_back(random.below(colours));

  Bytes& out = test.file;
  out = {'G', 'I', 'F', '8', '9', 'a'};
  PutLE16(out, width);
  PutLE16(out, height);
  PutU8(out, 0x80 | 0x20 | 0x02);  // global table of 2^(2+1) entries
  PutU8(out, 0);                    // background index
  PutU8(out, 0);
  for (const Rgba& colour : palette) {
    PutU8(out, colour[0]);
    PutU8(out, colour[1]);
    PutU8(out, colour[2]);
  }
  if (transparency) {
    out.insert(out.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00});
    PutU8(out, transparentIndex);
    PutU8(out, 0);
  }
  PutU8(out, 0x2C);
  PutLE16(out, 0);
  PutLE16(out, 0);
  PutLE16(out, width);
  PutLE16(out, height);
  PutU8(out, 0);
  const Bytes raster = GifRaster(indices, 3);
  out.insert(out.end(), raster.begin(), raster.end());
  test.pictureEnd = out.size();
  PutU8(out, 0x3B);
  for (unsigned index : indices) {
    // A transparent pixel is never drawn: it keeps the empty canvas, all zero.
    const bool hidden = transparency && index == transparentIndex;
    AppendExpected(test, hidden ? Rgba{0, 0, 0, 0} : palette[index]);
  }
  return test;
}

}  // namespace corona_tests
