// The points where the tests' build of the library (TestStandIns/CoronaTestSeam, compiled with
// CORONA_TEST_SEAM) observes or replaces what the library does. In the shipped library they
// are nothing at all.
#ifndef CORONA_TEST_SEAM_HOOKS_H
#define CORONA_TEST_SEAM_HOOKS_H

#if CORONA_TEST_SEAM

#include "DecoderOverride.h"
#include "LiveObjects.h"

#define CORONA_NOTE_IMAGE_MADE() (++::corona::detail::LiveImages())
#define CORONA_NOTE_IMAGE_DESTROYED() (--::corona::detail::LiveImages())
#define CORONA_NOTE_FILE_MADE() (++::corona::detail::LiveFiles())
#define CORONA_NOTE_FILE_DESTROYED() (--::corona::detail::LiveFiles())
// Answers what the innermost decoder override answers, when one is installed.
#define CORONA_DECODER_OVERRIDE(bytes, size)                                   \
  if (const auto& override = ::corona::detail::ActiveDecoderOverride()) {      \
    return override(bytes, size);                                              \
  }

#else

#define CORONA_NOTE_IMAGE_MADE() ((void)0)
#define CORONA_NOTE_IMAGE_DESTROYED() ((void)0)
#define CORONA_NOTE_FILE_MADE() ((void)0)
#define CORONA_NOTE_FILE_DESTROYED() ((void)0)
#define CORONA_DECODER_OVERRIDE(bytes, size)

#endif

#endif  // CORONA_TEST_SEAM_HOOKS_H
