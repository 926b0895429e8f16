// The test seam's hook into CorOpenImageFromFile.
#ifndef CORONA_DECODER_OVERRIDE_H
#define CORONA_DECODER_OVERRIDE_H

#include "corona_testing.h"

namespace corona {
namespace detail {

// The decoder function installed by the innermost live ScopedDecoderOverride; empty when
// none is.
testing::DecoderFunction& ActiveDecoderOverride();

}  // namespace detail
}  // namespace corona

#endif  // CORONA_DECODER_OVERRIDE_H
