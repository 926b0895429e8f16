#pragma once
// The kernel calls both timing programs measure, with the parameters a quad would pass:
// alpha 128 and, for the colour-modulated kernel, a light warm tint.

#include <vector>

#include "screen/BenchSurfaces.h"

namespace dd7r_bench {

struct TimedKernel {
    const char* name;
    int (*run)(BenchSurfaces& surfaces, std::uint32_t mode);
};

std::vector<TimedKernel> timedKernels();

}  // namespace dd7r_bench
