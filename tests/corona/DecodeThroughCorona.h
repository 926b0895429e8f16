// Decodes file bytes through the library's public entry points, the way the module does.
#ifndef CORONA_TESTS_DECODE_THROUGH_CORONA_H
#define CORONA_TESTS_DECODE_THROUGH_CORONA_H

#include <cstdint>
#include <vector>

#include "corona.h"

namespace corona_tests {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  corona::PixelFormat format = corona::PF_DONTCARE;
  Bytes pixels;  // width x height pixels of format, rows from the top, tightly packed
};

// Memory file, open with the given format, CorConvertImage(PF_DONTCARE), copy, destroy all.
Decoded DecodeThroughCorona(const Bytes& file,
                            corona::FileFormat format = corona::FF_AUTODETECT);

}  // namespace corona_tests

#endif  // CORONA_TESTS_DECODE_THROUGH_CORONA_H
