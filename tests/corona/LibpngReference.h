// libpng's decoding of a PNG file, expanded the way the library expands: palette and low
// depths to 8-bit RGB, transparency chunks to alpha, 16-bit samples to their high byte, grey
// to RGB, no gamma. Native build only (libpng is a test dependency).
#ifndef CORONA_TESTS_LIBPNG_REFERENCE_H
#define CORONA_TESTS_LIBPNG_REFERENCE_H

#include "DecodeThroughCorona.h"

namespace corona_tests {

// ok false when libpng refuses the file.
Decoded LibpngReference(const Bytes& png);

}  // namespace corona_tests

#endif  // CORONA_TESTS_LIBPNG_REFERENCE_H
