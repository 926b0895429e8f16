#pragma once
// The processor features the blend kernels can use, read once with CPUID. Built without any
// SIMD flags, so asking is safe on every x86.

namespace ZelUISystem::blend {

struct CpuFeatures {
    bool mmx = false;
    bool sse2 = false;
    bool avx2 = false;  // and the operating system saves the 256-bit registers
};

CpuFeatures detectCpuFeatures();

}  // namespace ZelUISystem::blend
