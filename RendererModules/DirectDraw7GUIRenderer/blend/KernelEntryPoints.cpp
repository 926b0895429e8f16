// The four kernels with the arguments quad drawing is documented with: thin wrappers that read
// the locked descriptions and run the reference implementation of each operation.

#include "blend/BlendInputs.h"
#include "blend/BlendKernels.h"

namespace ZelUISystem {

namespace {

int runReference(blend::BlendCore kernel, const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination,
                 const RECT* rect, std::uint32_t mode, const blend::BlendParameters& parameters) {
    blend::BlendInputs inputs;
    if (!blend::readBlendInputs(source, destination, rect, mode, inputs)) return -1;
    kernel(inputs.area, inputs.layout, parameters);
    return 0;
}

}  // namespace

int BlendColorAlpha(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int /*x*/,
                    int /*y*/, const RECT* rect, int alpha, std::uint32_t mode,
                    std::uint32_t redFactor, std::uint32_t greenFactor, std::uint32_t blueFactor) {
    return runReference(blend::colourModulatedScalar, source, destination, rect, mode,
                        {alpha, redFactor, greenFactor, blueFactor});
}

int BlendAlphaMMX(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int /*x*/,
                  int /*y*/, const RECT* rect, int alpha, std::uint32_t mode) {
    return runReference(blend::alphaMmx, source, destination, rect, mode, {alpha, 0, 0, 0});
}

int BlendHalf(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int /*x*/,
              int /*y*/, const RECT* rect, std::uint32_t mode) {
    return runReference(blend::halfPairsScalar, source, destination, rect, mode, {0, 0, 0, 0});
}

int BlendHalfMMX(const DDSURFACEDESC2* source, const DDSURFACEDESC2* destination, int /*x*/,
                 int /*y*/, const RECT* rect, std::uint32_t mode) {
    return runReference(blend::halfLanesMmx, source, destination, rect, mode, {0, 0, 0, 0});
}

}  // namespace ZelUISystem
