#pragma once
// The processor features the module uses, asked once for the whole module, and the instruction
// set level the kernels run at. Built without any SIMD flags, so asking is safe on every x86.

namespace ZelUISystem::blend {

struct CpuFeatures {
    bool mmx = false;    // the renderer's MMX flag: not a 386 or 486, and CPUID leaf 1 EDX bit 23
    bool sse2 = false;
    bool ssse3 = false;
    bool avx2 = false;   // and the operating system saves the 256-bit registers
    bool avx512 = false; // F, BW, VL and VBMI, and the system saves the mask and 512-bit registers
};

// Instruction set levels the kernels are written for; each includes the ones below it.
enum class SimdLevel { Scalar = 0, Mmx = 1, Sse2 = 2, Ssse3 = 3, Avx2 = 4, Avx512 = 5 };

// The processor's answers, probed on the first call and kept.
const CpuFeatures& processorFeatures();

// The highest level all of whose instructions these features include.
SimdLevel bestLevelOf(const CpuFeatures& features);

// "scalar", "mmx", "sse2", "ssse3", "avx2" or "avx512"; false for any other text (or none).
bool parseSimdLevel(const char* text, SimdLevel& level);
const char* simdLevelName(SimdLevel level);

// `available`, lowered to the level a forcing text names; a text naming a higher level, or no
// level at all, changes nothing: forcing never claims instructions the processor lacks.
SimdLevel lowerToForcedLevel(SimdLevel available, const char* forcedText);

// The level the kernels run at: the processor's best, lowered by the environment variable
// DD7R_CPU (read on the first call and kept), so that every twin can be run on one machine.
SimdLevel kernelLevel();

}  // namespace ZelUISystem::blend
