#pragma once
// Runs a kernel on one row of given pixels, for the hand-written cases.

#include <cstdint>
#include <string>
#include <vector>

#include "BlendCase.h"
#include "KernelTable.h"

namespace dd7r_test {

// Kernel by its name in the table of kernels under test.
KernelUnderTest kernelNamed(const char* name);

// A case of one row of the given width in the given mode, everything else neutral.
BlendCase rowCase(std::uint32_t mode, int width, int alpha = 256);

// Blends source into destination (both one row of c.width pixels) and returns what the
// destination holds afterwards; also asserts the kernel returned 0.
std::vector<std::uint32_t> blendRow(const KernelUnderTest& kernel, const BlendCase& c,
                                    const std::vector<std::uint32_t>& source,
                                    const std::vector<std::uint32_t>& destination);

}  // namespace dd7r_test

namespace dd7r_test {

// "0xF800 0xF000 ..." for readable failure messages.
std::string hexList(const std::vector<std::uint32_t>& pixels);

}  // namespace dd7r_test
