// One function per decoding library. Each takes a whole file in memory and answers a new
// PF_R8G8B8A8 or PF_R8G8B8 image, or null when the bytes are not a complete, valid file of
// its formats or decode to more than the size limit (ImageLimits.h). None of them throws.
#ifndef CORONA_DECODERS_H
#define CORONA_DECODERS_H

#include <cstddef>

#include "corona.h"

namespace corona {
namespace detail {

// PNG through libspng: every colour type and bit depth, interlaced or not. RGBA when the
// image has an alpha channel or a transparency chunk, otherwise RGB; 16-bit samples keep
// their high byte.
Image* DecodePng(const unsigned char* data, std::size_t size);

// JPEG (baseline and progressive) through TurboJPEG, as RGB.
Image* DecodeJpeg(const unsigned char* data, std::size_t size);

// BMP, TGA and GIF (first frame) through stb_image: RGBA when the file carries alpha (always
// for GIF), otherwise RGB.
Image* DecodeBmpTgaGif(const unsigned char* data, std::size_t size);

// The format a file's first bytes announce. TGA has no signature: bytes that announce none of
// the others are answered as FF_TGA, and the TGA decoder then judges them.
FileFormat SniffFileFormat(const unsigned char* data, std::size_t size);

}  // namespace detail
}  // namespace corona

#endif  // CORONA_DECODERS_H
