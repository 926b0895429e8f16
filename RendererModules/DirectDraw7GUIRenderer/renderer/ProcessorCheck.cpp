#include "renderer/ProcessorCheck.h"

#include "blend/CpuFeatures.h"

namespace ZelUISystem {

namespace {

int& forcedAnswer() {
    static int answer = -1;
    return answer;
}

}  // namespace

bool processorHasMMX() {
    if (forcedAnswer() >= 0) return forcedAnswer() == 1;
    return blend::processorFeatures().mmx;
}

void overrideProcessorHasMMXForTesting(int answer) { forcedAnswer() = answer; }

}  // namespace ZelUISystem
