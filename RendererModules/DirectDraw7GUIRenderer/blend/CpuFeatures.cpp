#include "blend/CpuFeatures.h"

#include <cpuid.h>

namespace ZelUISystem::blend {

namespace {

// AVX needs the processor's AVX and OSXSAVE bits and the system's consent, read from XCR0:
// SSE and AVX register state both saved on task switches.
bool operatingSystemSavesAvx(unsigned leaf1Ecx) {
    if ((leaf1Ecx & bit_OSXSAVE) == 0 || (leaf1Ecx & bit_AVX) == 0) return false;
    unsigned xcr0Low = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    return (xcr0Low & 0x6u) == 0x6u;
}

bool hasAvx2Instructions() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & bit_AVX2) != 0;
}

}  // namespace

CpuFeatures detectCpuFeatures() {
    CpuFeatures features;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return features;
    features.mmx = (edx & bit_MMX) != 0;
    features.sse2 = (edx & bit_SSE2) != 0;
    features.avx2 = operatingSystemSavesAvx(ecx) && hasAvx2Instructions();
    return features;
}

}  // namespace ZelUISystem::blend
