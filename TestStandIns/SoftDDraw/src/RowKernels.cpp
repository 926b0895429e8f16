#include "RowKernels.h"

#include "FixedPixel.h"
#include "PixelConversion.h"

#include <cstring>

namespace softddraw {

namespace {

// ---------------------------------------------------------------- same layout

template <unsigned Bytes>
void copyRow(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job) {
    std::memcpy(destRow, sourceRow, job.width * Bytes);
}

template <unsigned Bytes>
void stretchRow(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job) {
    const std::size_t width = job.width;
    const std::size_t* columns = job.columns;
    for (std::size_t x = 0; x < width; ++x)
        std::memcpy(destRow + x * Bytes, sourceRow + columns[x] * Bytes, Bytes);
}

// Every destination pixel is rewritten, with its old value where a key says so: a select
// instead of a branch, which the compiler turns into vector code for 1:1 rows.
template <unsigned Bytes, bool Stretched, bool SourceKeyed, bool DestKeyed>
void keyedRow(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job) {
    const std::size_t width = job.width;
    const std::size_t* columns = job.columns;
    const KeyTest sourceKey = job.sourceKey;
    const KeyTest destKey = job.destKey;
    for (std::size_t x = 0; x < width; ++x) {
        const std::size_t column = Stretched ? columns[x] : x;
        const DWORD pixel = loadFixedPixel<Bytes>(sourceRow + column * Bytes);
        std::uint8_t* target = destRow + x * Bytes;
        const DWORD old = loadFixedPixel<Bytes>(target);
        const bool keep = (SourceKeyed && sourceKey.matches(pixel)) ||
                          (DestKeyed && !destKey.matches(old));
        storeFixedPixel<Bytes>(target, keep ? old : pixel);
    }
}

// Indexed by kernelIndex().
template <unsigned Bytes>
constexpr RowKernel kSameLayoutKernels[8] = {
    copyRow<Bytes>,
    keyedRow<Bytes, false, false, true>,
    keyedRow<Bytes, false, true, false>,
    keyedRow<Bytes, false, true, true>,
    stretchRow<Bytes>,
    keyedRow<Bytes, true, false, true>,
    keyedRow<Bytes, true, true, false>,
    keyedRow<Bytes, true, true, true>,
};

// ---------------------------------------------------------------- converted

// Between layouts every pixel goes through the channel conversion, which dwarfs the loop.
template <bool Stretched, bool SourceKeyed, bool DestKeyed>
void convertRow(std::uint8_t* destRow, const std::uint8_t* sourceRow, const RowJob& job) {
    const SurfaceFormat& from = *job.from;
    const SurfaceFormat& to = *job.to;
    for (std::size_t x = 0; x < job.width; ++x) {
        const std::size_t column = Stretched ? job.columns[x] : x;
        const DWORD pixel = loadPixel(sourceRow + column * from.bytesPerPixel, from.bytesPerPixel);
        std::uint8_t* target = destRow + x * to.bytesPerPixel;
        if (SourceKeyed && job.sourceKey.matches(pixel)) continue;
        if (DestKeyed && !job.destKey.matches(loadPixel(target, to.bytesPerPixel))) continue;
        storePixel(target, to.bytesPerPixel, convertPixel(pixel, from, to));
    }
}

constexpr RowKernel kConvertingKernels[8] = {
    convertRow<false, false, false>, convertRow<false, false, true>,
    convertRow<false, true, false>,  convertRow<false, true, true>,
    convertRow<true, false, false>,  convertRow<true, false, true>,
    convertRow<true, true, false>,   convertRow<true, true, true>,
};

unsigned kernelIndex(const RowKind& kind) {
    return (kind.stretched ? 4u : 0u) | (kind.sourceKeyed ? 2u : 0u) | (kind.destKeyed ? 1u : 0u);
}

bool hasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
#else
    return false;
#endif
}

// A stretched, unkeyed 32-bit row that magnifies has its vector twin.
bool suitsMagnifyingRow(const RowKind& kind, std::uint32_t step, std::size_t sourceWidth) {
    return kind.stretched && !kind.sourceKeyed && !kind.destKeyed && step <= (1u << 16) &&
           sourceWidth < (std::size_t{1} << 16) && hasAvx2();
}

}  // namespace

RowKernel chooseRowKernel(const SurfaceFormat& from, const SurfaceFormat& to, const RowKind& kind,
                          std::uint32_t step, std::size_t sourceWidth) {
    const unsigned index = kernelIndex(kind);
    if (!sameLayout(from, to)) return kConvertingKernels[index];
    if (from.bytesPerPixel == 4 && suitsMagnifyingRow(kind, step, sourceWidth)) return stretchRow4Magnifying;
    switch (from.bytesPerPixel) {
        case 1: return kSameLayoutKernels<1>[index];
        case 2: return kSameLayoutKernels<2>[index];
        case 3: return kSameLayoutKernels<3>[index];
        case 4: return kSameLayoutKernels<4>[index];
        default: return nullptr;
    }
}

}  // namespace softddraw
