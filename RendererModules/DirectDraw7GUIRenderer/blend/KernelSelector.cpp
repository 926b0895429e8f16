#include "blend/KernelSelector.h"

#include <iterator>

namespace ZelUISystem::blend {

namespace {

constexpr unsigned bit(std::uint32_t mode) { return 1u << mode; }
constexpr unsigned k555 = bit(DDS_RGBMODE_555);
constexpr unsigned k565 = bit(DDS_RGBMODE_565);
constexpr unsigned kOtherMasks = bit(DDS_RGBMODE_16);
constexpr unsigned k16Bit = k555 | k565 | kOtherMasks;
constexpr unsigned k24 = bit(DDS_RGBMODE_24);
constexpr unsigned k32 = bit(DDS_RGBMODE_32);
constexpr unsigned kEveryLayout = k16Bit | bit(DDS_RGBMODE_24) | k32;

struct Offer {
    BlendOperation operation;
    unsigned modes;    // the layouts the implementation handles
    SimdLevel needs;   // the instructions it uses
    BlendCore kernel;
    const char* name;
};

#define DD7R_OFFER(operation, modes, level, kernel) {operation, modes, level, kernel, #kernel}

// Best first: the first offer whose layouts include the mode and whose level is available wins.
// Every operation ends with its reference, offered for every layout: below its level (only
// alpha and half lanes, whose reference is the MMX kernel, have one) the reference is taken
// all the same. The renderer blends only on a processor with MMX (without it, blend mode 0
// runs no kernel), so a level below MMX there can only be DD7R_CPU=scalar forcing it.
constexpr Offer kOffers[] = {
    DD7R_OFFER(BlendOperation::ColourModulated, k555, SimdLevel::Avx512, twins::colourModulated555Avx512),
    DD7R_OFFER(BlendOperation::ColourModulated, k565, SimdLevel::Avx512, twins::colourModulated565Avx512),
    DD7R_OFFER(BlendOperation::ColourModulated, kOtherMasks, SimdLevel::Avx512, twins::colourModulatedMasksAvx512),
    DD7R_OFFER(BlendOperation::ColourModulated, k32, SimdLevel::Avx512, twins::colourModulated32Avx512),
    DD7R_OFFER(BlendOperation::ColourModulated, k555, SimdLevel::Avx2, twins::colourModulated555Avx2),
    DD7R_OFFER(BlendOperation::ColourModulated, k565, SimdLevel::Avx2, twins::colourModulated565Avx2),
    DD7R_OFFER(BlendOperation::ColourModulated, kOtherMasks, SimdLevel::Avx2, twins::colourModulatedMasksAvx2),
    DD7R_OFFER(BlendOperation::ColourModulated, k24, SimdLevel::Avx2, twins::colourModulated24Avx2),
    DD7R_OFFER(BlendOperation::ColourModulated, k32, SimdLevel::Avx2, twins::colourModulated32Avx2),
    DD7R_OFFER(BlendOperation::ColourModulated, k24, SimdLevel::Ssse3, twins::colourModulated24Ssse3),
    DD7R_OFFER(BlendOperation::ColourModulated, k555, SimdLevel::Sse2, twins::colourModulated555Sse2),
    DD7R_OFFER(BlendOperation::ColourModulated, k565, SimdLevel::Sse2, twins::colourModulated565Sse2),
    DD7R_OFFER(BlendOperation::ColourModulated, kOtherMasks, SimdLevel::Sse2, twins::colourModulatedMasksSse2),
    DD7R_OFFER(BlendOperation::ColourModulated, k32, SimdLevel::Sse2, twins::colourModulated32Sse2),
    DD7R_OFFER(BlendOperation::ColourModulated, kEveryLayout, SimdLevel::Scalar, colourModulatedScalar),

    DD7R_OFFER(BlendOperation::Alpha, k32, SimdLevel::Avx512, twins::alpha32Avx512),
    DD7R_OFFER(BlendOperation::Alpha, k555, SimdLevel::Avx2, twins::alpha555Avx2),
    DD7R_OFFER(BlendOperation::Alpha, k565, SimdLevel::Avx2, twins::alpha565Avx2),
    DD7R_OFFER(BlendOperation::Alpha, kOtherMasks, SimdLevel::Avx2, twins::alphaMasksAvx2),
    DD7R_OFFER(BlendOperation::Alpha, k24, SimdLevel::Avx2, twins::alpha24Avx2),
    DD7R_OFFER(BlendOperation::Alpha, k32, SimdLevel::Avx2, twins::alpha32Avx2),
    DD7R_OFFER(BlendOperation::Alpha, k24, SimdLevel::Ssse3, twins::alpha24Ssse3),
    DD7R_OFFER(BlendOperation::Alpha, k555, SimdLevel::Sse2, twins::alpha555Sse2),
    DD7R_OFFER(BlendOperation::Alpha, k565, SimdLevel::Sse2, twins::alpha565Sse2),
    DD7R_OFFER(BlendOperation::Alpha, kOtherMasks, SimdLevel::Sse2, twins::alphaMasksSse2),
    DD7R_OFFER(BlendOperation::Alpha, k32, SimdLevel::Sse2, twins::alpha32Sse2),
    DD7R_OFFER(BlendOperation::Alpha, kEveryLayout, SimdLevel::Mmx, alphaMmx),

    // One row for the three 16-bit layouts: the code is the same, only the halving mask, taken
    // from the destination's masks, differs.
    DD7R_OFFER(BlendOperation::HalfLanes, k16Bit, SimdLevel::Avx2, twins::halfLanes16Avx2),
    DD7R_OFFER(BlendOperation::HalfLanes, k24, SimdLevel::Avx2, twins::halfLanes24Avx2),
    DD7R_OFFER(BlendOperation::HalfLanes, k32, SimdLevel::Avx2, twins::halfLanes32Avx2),
    DD7R_OFFER(BlendOperation::HalfLanes, k24, SimdLevel::Ssse3, twins::halfLanes24Ssse3),
    DD7R_OFFER(BlendOperation::HalfLanes, k16Bit, SimdLevel::Sse2, twins::halfLanes16Sse2),
    DD7R_OFFER(BlendOperation::HalfLanes, k32, SimdLevel::Sse2, twins::halfLanes32Sse2),
    DD7R_OFFER(BlendOperation::HalfLanes, kEveryLayout, SimdLevel::Mmx, halfLanesMmx),
};

#undef DD7R_OFFER

}  // namespace

BlendCore selectBlendKernel(BlendOperation operation, std::uint32_t mode, SimdLevel level) {
    if (!isDrawableMode(mode)) return nullptr;
    const Offer* reference = nullptr;
    for (const Offer& offer : kOffers) {
        if (offer.operation != operation || (offer.modes & bit(mode)) == 0) continue;
        if (offer.needs <= level) return offer.kernel;
        reference = &offer;
    }
    return reference == nullptr ? nullptr : reference->kernel;
}

const char* blendKernelName(BlendCore kernel) {
    for (const Offer& offer : kOffers)
        if (offer.kernel == kernel) return offer.name;
    return "unknown";
}

LayoutKernels selectForEveryLayout(BlendOperation operation, SimdLevel level) {
    LayoutKernels kernels;
    for (std::uint32_t mode = 0; mode < std::size(kernels.byMode); ++mode)
        kernels.byMode[mode] = selectBlendKernel(operation, mode, level);
    return kernels;
}

}  // namespace ZelUISystem::blend
