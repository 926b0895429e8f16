#include "renderer/ProcessorCheck.h"

#include <cpuid.h>

#include "platform/Win32Types.h"

namespace ZelUISystem {

namespace {

int& forcedAnswer() {
    static int answer = -1;
    return answer;
}

bool isPreMMXProcessor() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwProcessorType == PROCESSOR_INTEL_386 ||
           info.dwProcessorType == PROCESSOR_INTEL_486;
}

bool cpuidReportsMMX() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
    return (edx & (1u << 23)) != 0;
}

}  // namespace

bool processorHasMMX() {
    if (forcedAnswer() >= 0) return forcedAnswer() == 1;
    if (isPreMMXProcessor()) return false;
    return cpuidReportsMMX();
}

void overrideProcessorHasMMXForTesting(int answer) { forcedAnswer() = answer; }

}  // namespace ZelUISystem
