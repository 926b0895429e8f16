#include <spng.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "ByteWriter.h"
#include "TestFiles.h"

namespace corona_tests {

namespace {

int ChannelsOf(int colorType) {
  switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: throw std::invalid_argument("colour type");
  }
}

// The samples of one picture, one unsigned value per channel per pixel, before packing.
struct Samples {
  int width;
  int height;
  int channels;
  int bitDepth;
  std::vector<unsigned> values;
  unsigned at(int x, int y, int c) const {
    return values[(static_cast<std::size_t>(y) * width + x) * channels + c];
  }
};

Bytes PackRows(const Samples& samples) {
  Bytes packed;
  for (int y = 0; y < samples.height; ++y) {
    unsigned accumulator = 0;
    int bitsHeld = 0;
    for (int x = 0; x < samples.width; ++x) {
      for (int c = 0; c < samples.channels; ++c) {
        const unsigned value = samples.at(x, y, c);
        if (samples.bitDepth == 16) {
          PutU8(packed, value >> 8);
          PutU8(packed, value & 0xFF);
        } else if (samples.bitDepth == 8) {
          PutU8(packed, value);
        } else {  // most significant bits first, each row starting on a byte
          accumulator = (accumulator << samples.bitDepth) | value;
          bitsHeld += samples.bitDepth;
          if (bitsHeld == 8) {
            PutU8(packed, accumulator);
            accumulator = 0;
            bitsHeld = 0;
          }
        }
      }
    }
    if (bitsHeld > 0) {
      PutU8(packed, accumulator << (8 - bitsHeld));
    }
  }
  return packed;
}

// Narrowing to 8 bits as PNG decoders do: low depths scale to the full range (bit
// replication), 16 bits keep their high byte.
unsigned To8Bits(unsigned value, int bitDepth) {
  if (bitDepth == 16) return value >> 8;
  return value * 255 / ((1u << bitDepth) - 1);
}

Bytes Encode(const spng_ihdr& header, const spng_plte* palette, const spng_trns* transparency,
             const Bytes& rows) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr headerCopy = header;
  spng_set_ihdr(context, &headerCopy);
  if (palette != nullptr) {
    spng_plte copy = *palette;
    spng_set_plte(context, &copy);
  }
  if (transparency != nullptr) {
    spng_trns copy = *transparency;
    spng_set_trns(context, &copy);
  }
  int result = spng_encode_image(context, rows.data(), rows.size(), SPNG_FMT_RAW,
                                 SPNG_ENCODE_FINALIZE);
  std::size_t length = 0;
  int error = 0;
  void* buffer = result == 0 ? spng_get_png_buffer(context, &length, &error) : nullptr;
  spng_ctx_free(context);
  if (buffer == nullptr) {
    throw std::runtime_error(std::string("spng encode: ") + spng_strerror(result ? result : error));
  }
  Bytes png(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + length);
  std::free(buffer);
  return png;
}

}  // namespace

void FixPngChunkCrc(Bytes& png, std::size_t chunkOffset) {
  const std::uint32_t length = (std::uint32_t{png[chunkOffset]} << 24) |
                               (std::uint32_t{png[chunkOffset + 1]} << 16) |
                               (std::uint32_t{png[chunkOffset + 2]} << 8) | png[chunkOffset + 3];
  const std::size_t typeOffset = chunkOffset + 4;
  const uLong crc = crc32(0L, png.data() + typeOffset, static_cast<uInt>(4 + length));
  const std::size_t crcOffset = typeOffset + 4 + length;
  for (int i = 0; i < 4; ++i) {
    png[crcOffset + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  }
}

TestFile MakePng(int colorType, int bitDepth, bool interlaced, bool transparency,
                 std::uint32_t seed) {
  RandomBytes random(seed);
  Samples samples{13, 7, ChannelsOf(colorType), bitDepth, {}};
  const unsigned maxSample = (1u << bitDepth) - 1;
  const unsigned paletteSize = colorType == 3 ? (bitDepth == 8 ? 200u : maxSample + 1) : 0u;
  const unsigned sampleLimit = colorType == 3 ? paletteSize : maxSample + 1;
  for (int i = 0; i < samples.width * samples.height * samples.channels; ++i) {
    const unsigned wide = (unsigned{random.next()} << 8) | random.next();
    samples.values.push_back(wide % sampleLimit);
  }
  // Pixels 0 and 5 of each row repeat pixel 0 of the picture, so a transparent colour
  // equal to it appears several times.
  for (int y = 0; y < samples.height; ++y) {
    for (int x : {0, 5}) {
      for (int c = 0; c < samples.channels; ++c) {
        samples.values[(static_cast<std::size_t>(y) * samples.width + x) * samples.channels + c] =
            samples.values[c];
      }
    }
  }

  spng_ihdr header{};
  header.width = static_cast<uint32_t>(samples.width);
  header.height = static_cast<uint32_t>(samples.height);
  header.bit_depth = static_cast<uint8_t>(bitDepth);
  header.color_type = static_cast<uint8_t>(colorType);
  header.interlace_method = interlaced ? 1 : 0;

  spng_plte palette{};
  palette.n_entries = paletteSize;
  for (unsigned i = 0; i < paletteSize; ++i) {
    palette.entries[i] = {random.next(), random.next(), random.next(), 255};
  }
  spng_trns trns{};
  if (transparency) {
    if (colorType == 3) {
      trns.n_type3_entries = paletteSize > 1 ? paletteSize - 1 : 1;  // last entry stays opaque
      for (unsigned i = 0; i < trns.n_type3_entries; ++i) {
        trns.type3_alpha[i] = i % 3 == 0 ? 0 : random.next();
      }
    } else if (colorType == 0) {
      trns.gray = static_cast<uint16_t>(samples.values[0]);
    } else {
      trns.red = static_cast<uint16_t>(samples.values[0]);
      trns.green = static_cast<uint16_t>(samples.values[1]);
      trns.blue = static_cast<uint16_t>(samples.values[2]);
    }
  }

  TestFile test;
  test.name = "png type " + std::to_string(colorType) + " depth " + std::to_string(bitDepth) +
              (interlaced ? " interlaced" : "") + (transparency ? " tRNS" : "");
  test.file = Encode(header, colorType == 3 ? &palette : nullptr,
                     transparency ? &trns : nullptr, PackRows(samples));
  test.pictureEnd = test.file.size();
  test.width = samples.width;
  test.height = samples.height;
  const bool alpha = colorType == 4 || colorType == 6 || transparency;
  test.format = alpha ? corona::PF_R8G8B8A8 : corona::PF_R8G8B8;
  for (int y = 0; y < samples.height; ++y) {
    for (int x = 0; x < samples.width; ++x) {
      unsigned rgba[4] = {0, 0, 0, 255};
      bool transparent = false;
      if (colorType == 3) {
        const unsigned index = samples.at(x, y, 0);
        rgba[0] = palette.entries[index].red;
        rgba[1] = palette.entries[index].green;
        rgba[2] = palette.entries[index].blue;
        rgba[3] = index < trns.n_type3_entries ? trns.type3_alpha[index] : 255;
      } else {
        const bool grey = colorType == 0 || colorType == 4;
        for (int c = 0; c < 3; ++c) rgba[c] = To8Bits(samples.at(x, y, grey ? 0 : c), bitDepth);
        if (colorType == 4) rgba[3] = To8Bits(samples.at(x, y, 1), bitDepth);
        if (colorType == 6) rgba[3] = To8Bits(samples.at(x, y, 3), bitDepth);
        if (transparency && colorType == 0) transparent = samples.at(x, y, 0) == trns.gray;
        if (transparency && colorType == 2) {
          transparent = samples.at(x, y, 0) == trns.red && samples.at(x, y, 1) == trns.green &&
                        samples.at(x, y, 2) == trns.blue;
        }
        if (transparent) rgba[3] = 0;
      }
      for (int c = 0; c < (alpha ? 4 : 3); ++c) PutU8(test.pixels, rgba[c]);
    }
  }
  return test;
}

}  // namespace corona_tests
