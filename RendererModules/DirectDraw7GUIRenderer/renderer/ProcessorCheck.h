#pragma once

namespace ZelUISystem {

// The renderer's MMX flag: true when the processor runs MMX code (not a 386 or 486 by the
// operating system's word, and CPUID leaf 1 reports the MMX feature bit, EDX bit 23), as the
// module's one processor probe (blend/CpuFeatures.h) found it.
bool processorHasMMX();

// Test seam: 1 forces the answer true, 0 false, -1 asks the probe again.
void overrideProcessorHasMMXForTesting(int answer);

}  // namespace ZelUISystem
