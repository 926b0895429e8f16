#pragma once
// Every kernel implementation under test, each with the model that defines its output. The
// four named kernels come first; then, for every instruction set level this processor has,
// what the kernel selector runs at that level (faster variants share their kernel's model).

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "BlendCase.h"
#include "ReferenceModels.h"
#include "platform/DirectDraw.h"

namespace dd7r_test {

using KernelRunner = std::function<int(const BlendCase& c, const DDSURFACEDESC2* source,
                                       const DDSURFACEDESC2* destination, const RECT* rect,
                                       std::uint32_t mode)>;

struct KernelUnderTest {
    std::string name;
    KernelModel model;
    KernelRunner run;
};

std::vector<KernelUnderTest> kernelsUnderTest();

}  // namespace dd7r_test

namespace dd7r_test {

// Lets GoogleTest name a kernel parameter by its name.
inline void PrintTo(const KernelUnderTest& kernel, std::ostream* out) { *out << kernel.name; }

}  // namespace dd7r_test
