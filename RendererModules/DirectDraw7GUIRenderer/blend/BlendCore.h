#pragma once
// What every kernel implementation takes, free of DirectDraw: the two rectangles as first
// pixel and pitch, their size, the pixel layout (with each side's 16-bit channel masks) and the
// operation's own parameters. The reference kernels and their faster twins all have this form,
// so the one kernel selector (KernelSelector.h) can hand any of them to the renderer.

#include <cstdint>

#include "blend/BlendArea.h"
#include "blend/RGBMode.h"

namespace ZelUISystem::blend {

// The three colour masks of a 16-bit pixel, low 16 bits only.
struct ChannelMasks16 {
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

// The RGB mode both sides share; the masks matter only in the 16-bit modes (fixed for 555 and
// 565, each side's own for DDS_RGBMODE_16).
struct BlendLayout {
    std::uint32_t mode;
    ChannelMasks16 source;
    ChannelMasks16 destination;
};

// Alpha as the caller gives it (each kernel clamps it to 0..256) and the colour factors of
// the colour-modulated operation; the other operations ignore what they do not use.
struct BlendParameters {
    int alpha;
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

using BlendCore = void (*)(const BlendArea& area, const BlendLayout& layout, const BlendParameters& parameters);

// The reference implementations: every drawable layout, any parameters.
void colourModulatedScalar(const BlendArea&, const BlendLayout&, const BlendParameters&);  // BlendColourAlpha
void alphaMmx(const BlendArea&, const BlendLayout&, const BlendParameters&);               // BlendAlphaMMX
void halfPairsScalar(const BlendArea&, const BlendLayout&, const BlendParameters&);        // BlendHalf
void halfLanesMmx(const BlendArea&, const BlendLayout&, const BlendParameters&);           // BlendHalfMMX

// Twins: the same bytes as their reference for every input they are offered for, each only
// for the layouts its name gives (colour-modulated twins: factors 0..255 only, as a quad's
// colour gives them). The selector never offers one outside that.
namespace twins {
void colourModulated555Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksSse2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // other masks
void alpha16Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // 555, 565, other masks
void alpha32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes16Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // 555, 565, other masks
void halfLanes32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated555Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksAvx2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // other masks
void colourModulated24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes16Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // 555, 565, other masks
void halfLanes32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha16Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);  // 555, 565, other masks
void alpha32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated555Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksAvx512(const BlendArea&, const BlendLayout&, const BlendParameters&);  // other masks
void alpha32Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
}  // namespace twins

}  // namespace ZelUISystem::blend
