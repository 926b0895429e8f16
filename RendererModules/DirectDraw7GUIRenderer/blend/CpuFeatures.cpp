#include "blend/CpuFeatures.h"

#include <cpuid.h>

#include <cstdlib>
#include <cstring>

#include "platform/Win32Types.h"

namespace ZelUISystem::blend {

namespace {

constexpr const char* kLevelNames[] = {"scalar", "mmx", "sse2", "ssse3", "avx2", "avx512"};

// The operating system's word comes first: a 386 or 486 never runs MMX code, whatever CPUID
// would say.
bool isPreMmxProcessor() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwProcessorType == PROCESSOR_INTEL_386 || info.dwProcessorType == PROCESSOR_INTEL_486;
}

// AVX needs the processor's AVX and OSXSAVE bits and the system's consent, read from XCR0:
// SSE and AVX register state saved on task switches (AVX-512 also needs the mask registers and
// both upper parts of the 512-bit registers saved).
constexpr unsigned kXcr0SseAvx = 0x6u;
constexpr unsigned kXcr0Avx512 = 0xE6u;

unsigned savedRegisterState(unsigned leaf1Ecx) {
    if ((leaf1Ecx & bit_OSXSAVE) == 0 || (leaf1Ecx & bit_AVX) == 0) return 0;
    unsigned xcr0Low = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    return xcr0Low;
}

// CPUID leaf 7: AVX2 and the AVX-512 subsets.
struct ExtendedFeatures {
    unsigned ebx = 0, ecx = 0;
};

ExtendedFeatures extendedFeatures() {
    ExtendedFeatures features;
    unsigned eax = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return features;
    __cpuid_count(7, 0, eax, features.ebx, features.ecx, edx);
    return features;
}

bool hasAvx512Subsets(const ExtendedFeatures& f) {
    constexpr unsigned inEbx = bit_AVX512F | bit_AVX512BW | bit_AVX512VL;
    return (f.ebx & inEbx) == inEbx && (f.ecx & bit_AVX512VBMI) != 0;
}

CpuFeatures probeProcessor() {
    CpuFeatures features;
    if (isPreMmxProcessor()) return features;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return features;
    features.mmx = (edx & (1u << 23)) != 0;
    features.sse2 = (edx & bit_SSE2) != 0;
    features.ssse3 = (ecx & bit_SSSE3) != 0;
    const unsigned saved = savedRegisterState(ecx);
    const ExtendedFeatures extended = extendedFeatures();
    features.avx2 = (saved & kXcr0SseAvx) == kXcr0SseAvx && (extended.ebx & bit_AVX2) != 0;
    features.avx512 = features.avx2 && (saved & kXcr0Avx512) == kXcr0Avx512 && hasAvx512Subsets(extended);
    return features;
}

}  // namespace

const CpuFeatures& processorFeatures() {
    static const CpuFeatures features = probeProcessor();
    return features;
}

SimdLevel bestLevelOf(const CpuFeatures& f) {
    if (!f.mmx) return SimdLevel::Scalar;
    if (!f.sse2) return SimdLevel::Mmx;
    if (!f.ssse3) return SimdLevel::Sse2;
    if (!f.avx2) return SimdLevel::Ssse3;
    if (!f.avx512) return SimdLevel::Avx2;
    return SimdLevel::Avx512;
}

bool parseSimdLevel(const char* text, SimdLevel& level) {
    if (text == nullptr) return false;
    for (int i = 0; i < static_cast<int>(sizeof kLevelNames / sizeof kLevelNames[0]); ++i) {
        if (std::strcmp(text, kLevelNames[i]) == 0) {
            level = static_cast<SimdLevel>(i);
            return true;
        }
    }
    return false;
}

const char* simdLevelName(SimdLevel level) { return kLevelNames[static_cast<int>(level)]; }

SimdLevel lowerToForcedLevel(SimdLevel available, const char* forcedText) {
    SimdLevel forced = available;
    if (!parseSimdLevel(forcedText, forced)) return available;
    return forced < available ? forced : available;
}

SimdLevel kernelLevel() {
    static const SimdLevel level =
        lowerToForcedLevel(bestLevelOf(processorFeatures()), std::getenv("DD7R_CPU"));
    return level;
}

}  // namespace ZelUISystem::blend
