#include "KernelTable.h"

#include "blend/BlendInputs.h"
#include "blend/BlendKernels.h"
#include "blend/KernelSelector.h"

namespace dd7r_test {

namespace {

using namespace ZelUISystem;

int runColourAlpha(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                  const RECT* rect, std::uint32_t mode) {
    return BlendColorAlpha(s, d, c.x, c.y, rect, c.alpha, mode, c.factors[0], c.factors[1], c.factors[2]);
}

int runAlphaMMX(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                const RECT* rect, std::uint32_t mode) {
    return BlendAlphaMMX(s, d, c.x, c.y, rect, c.alpha, mode);
}

int runHalf(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d, const RECT* rect,
            std::uint32_t mode) {
    return BlendHalf(s, d, c.x, c.y, rect, mode);
}

int runHalfMMX(const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
               const RECT* rect, std::uint32_t mode) {
    return BlendHalfMMX(s, d, c.x, c.y, rect, mode);
}

// What quad drawing does at one level: read the locked descriptions, then run the kernel the
// selector gives for the case's layout.
KernelRunner selectedAt(blend::BlendOperation operation, blend::SimdLevel level) {
    return [operation, level](const BlendCase& c, const DDSURFACEDESC2* s, const DDSURFACEDESC2* d,
                              const RECT* rect, std::uint32_t mode) {
        blend::BlendInputs inputs;
        if (!blend::readBlendInputs(s, d, rect, mode, inputs)) return -1;
        blend::selectBlendKernel(operation, mode, level)(inputs.area, inputs.layout,
                                                        {c.alpha, c.factors[0], c.factors[1], c.factors[2]});
        return 0;
    };
}

bool sameKernels(const blend::LayoutKernels& a, const blend::LayoutKernels& b) {
    for (std::uint32_t mode = 0; mode <= DDS_RGBMODE_32; ++mode)
        if (a.forMode(mode) != b.forMode(mode)) return false;
    return true;
}

struct Operation {
    blend::BlendOperation operation;
    const char* name;
    KernelModel model;
    blend::BlendCore reference;
};

}  // namespace

std::vector<KernelUnderTest> kernelsUnderTest() {
    std::vector<KernelUnderTest> kernels = {
        {"BlendColorAlpha", KernelModel::ColourAlpha, runColourAlpha},
        {"BlendAlphaMMX", KernelModel::AlphaMMX, runAlphaMMX},
        {"BlendHalf", KernelModel::Half, runHalf},
        {"BlendHalfMMX", KernelModel::HalfMMX, runHalfMMX},
    };
    const Operation operations[] = {
        {blend::BlendOperation::ColourModulated, "ColourModulated", KernelModel::ColourAlpha, blend::colourModulatedScalar},
        {blend::BlendOperation::Alpha, "Alpha", KernelModel::AlphaMMX, blend::alphaMmx},
        {blend::BlendOperation::HalfLanes, "HalfLanes", KernelModel::HalfMMX, blend::halfLanesMmx},
    };
    const blend::SimdLevel best = blend::bestLevelOf(blend::processorFeatures());
    for (const Operation& op : operations) {
        // A level is worth running when it changes the kernel of some layout: against the
        // level below, and against the reference the named kernel above already runs.
        blend::LayoutKernels reference;
        for (auto& kernel : reference.byMode) kernel = op.reference;
        blend::LayoutKernels previous = reference;
        for (int level = 0; level <= static_cast<int>(best); ++level) {
            const auto simd = static_cast<blend::SimdLevel>(level);
            const blend::LayoutKernels selected = blend::selectForEveryLayout(op.operation, simd);
            if (!sameKernels(selected, previous) && !sameKernels(selected, reference))
                kernels.push_back({std::string(op.name) + "_" + blend::simdLevelName(simd), op.model,
                                   selectedAt(op.operation, simd)});
            previous = selected;
        }
    }
    return kernels;
}

}  // namespace dd7r_test
