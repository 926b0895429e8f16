#pragma once
// What every kernel implementation takes, free of DirectDraw: the two rectangles as first
// pixel and pitch, their size, the pixel layout (with each side's 16-bit channel masks) and the
// operation's own parameters. The reference kernels and their faster twins all have this form,
// so the one kernel selector (KernelSelector.h) can hand any of them to the renderer.
//
// Each implementation lives in the file its name gives: operation, layout group (16: 555, 565
// and other masks; 24; 32; none for a reference, which takes every layout) and instruction set
// level, as twins::alpha565Sse2 in Alpha16_sse2.cpp and alphaMmx in Alpha_mmx.cpp.

#include <cstdint>

namespace ZelUISystem::blend {

// Two rectangles of equal size, each with its own first pixel and signed pitch.
struct BlendArea {
    const std::uint8_t* source;
    std::uint8_t* destination;
    std::int32_t sourcePitch;
    std::int32_t destinationPitch;
    int width;
    int height;
};

// The three colour masks of a 16-bit pixel, low 16 bits only.
struct ChannelMasks16 {
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

// The RGB mode (RGBMode.h) both sides share; the masks matter only in the 16-bit modes (fixed
// for 555 and 565, each side's own for DDS_RGBMODE_16).
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
void colourModulatedScalar(const BlendArea&, const BlendLayout&, const BlendParameters&);  // BlendColorAlpha
void alphaMmx(const BlendArea&, const BlendLayout&, const BlendParameters&);               // BlendAlphaMMX
void halfPairsScalar(const BlendArea&, const BlendLayout&, const BlendParameters&);        // BlendHalf
void halfLanesMmx(const BlendArea&, const BlendLayout&, const BlendParameters&);           // BlendHalfMMX

// Twins: the same bytes as their reference for every input they are offered for, each only
// for the layout its name gives ("Masks": 16-bit pixels with other masks; "16": all three
// 16-bit layouts; colour-modulated twins: factors 0..255 only, as a quad's colour gives them).
// The selector never offers one outside that.
namespace twins {
void colourModulated555Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksSse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha555Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha565Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alphaMasksSse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes16Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes32Sse2(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes24Ssse3(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated555Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksAvx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha555Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha565Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alphaMasksAvx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes16Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes24Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);
void halfLanes32Avx2(const BlendArea&, const BlendLayout&, const BlendParameters&);

void colourModulated555Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated565Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulatedMasksAvx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void colourModulated32Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
void alpha32Avx512(const BlendArea&, const BlendLayout&, const BlendParameters&);
}  // namespace twins

}  // namespace ZelUISystem::blend
