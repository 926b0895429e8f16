#include "KernelTable.h"

#include <algorithm>
#include <cstdio>

#include "screen/BenchSurfaces.h"

namespace dd7r_bench {

namespace {

constexpr const char* kMemoryPass = "MemoryPass";
constexpr const char* kTableSizes[] = {"1920x1080", "256x256"};
constexpr std::uint32_t kModeCount = 5;
constexpr std::uint32_t kMode32 = 4;

struct Operation {
    const char* name;
    const char* prefix;    // the kernel rows of the operation start with it
    const char* excluded;  // a row with this exact name is another operation
};

// BlendHalf itself is the plain-integer pair kernel, which quad drawing never runs.
constexpr Operation kOperations[] = {
    {"colour-modulated", "BlendColorAlpha", ""},
    {"alpha", "BlendAlpha", ""},
    {"half", "BlendHalf", "BlendHalf"},
};

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

const char* goalMark(double ratio, std::uint32_t mode) {
    if (mode == kMode32) return ratio <= 1.5 ? "ok" : "OVER 1.5x";
    if (ratio <= 2.5) return "ok";
    return ratio <= 3.0 ? "ok (3x)" : "OVER 3x";
}

}  // namespace

void KernelTable::add(const KernelFigure& figure) {
    for (KernelFigure& kept : figures_) {
        if (kept.kernel == figure.kernel && kept.mode == figure.mode && kept.size == figure.size) {
            kept.megapixelsPerSecond = std::max(kept.megapixelsPerSecond, figure.megapixelsPerSecond);
            return;
        }
    }
    figures_.push_back(figure);
    if (figure.kernel != kMemoryPass && std::find(kernels_.begin(), kernels_.end(), figure.kernel) == kernels_.end())
        kernels_.push_back(figure.kernel);
}

const KernelFigure* KernelTable::find(const std::string& kernel, std::uint32_t mode, const std::string& size) const {
    for (const KernelFigure& figure : figures_)
        if (figure.kernel == kernel && figure.mode == mode && figure.size == size) return &figure;
    return nullptr;
}

void KernelTable::printSize(const std::string& size) const {
    std::printf("\nKernel table at %s: Mpix/s (times slower than the layout's memory pass)\n", size.c_str());
    std::printf("%-22s", "kernel");
    for (std::uint32_t mode = 0; mode < kModeCount; ++mode) std::printf(" %17s", kModeNames[mode]);
    std::printf("\n");
    const auto cell = [&](const std::string& kernel, std::uint32_t mode) {
        const KernelFigure* figure = find(kernel, mode, size);
        const KernelFigure* memory = find(kMemoryPass, mode, size);
        if (figure == nullptr)
            std::printf(" %17s", "-");
        else if (memory == nullptr || figure->megapixelsPerSecond <= 0)
            std::printf(" %17.0f", figure->megapixelsPerSecond);
        else
            std::printf(" %9.0f (%4.1fx)", figure->megapixelsPerSecond,
                        memory->megapixelsPerSecond / figure->megapixelsPerSecond);
    };
    std::printf("%-22s", kMemoryPass);
    for (std::uint32_t mode = 0; mode < kModeCount; ++mode) cell(kMemoryPass, mode);
    std::printf("\n");
    for (const std::string& kernel : kernels_) {
        std::printf("%-22s", kernel.c_str());
        for (std::uint32_t mode = 0; mode < kModeCount; ++mode) cell(kernel, mode);
        std::printf("\n");
    }

    std::printf("Best implementation per operation against the goal (3x, 2.5x where the layout allows, 32-bit 1.5x):\n");
    for (const Operation& operation : kOperations) {
        for (std::uint32_t mode = 0; mode < kModeCount; ++mode) {
            const KernelFigure* best = nullptr;
            for (const KernelFigure& figure : figures_) {
                if (figure.mode != mode || figure.size != size || !startsWith(figure.kernel, operation.prefix) ||
                    figure.kernel == operation.excluded)
                    continue;
                if (best == nullptr || figure.megapixelsPerSecond > best->megapixelsPerSecond) best = &figure;
            }
            const KernelFigure* memory = find(kMemoryPass, mode, size);
            if (best == nullptr || memory == nullptr || best->megapixelsPerSecond <= 0) continue;
            const double ratio = memory->megapixelsPerSecond / best->megapixelsPerSecond;
            std::printf("  %-17s %-4s %-22s %9.0f Mpix/s %5.1fx  %s\n", operation.name, kModeNames[mode],
                        best->kernel.c_str(), best->megapixelsPerSecond, ratio, goalMark(ratio, mode));
        }
    }
}

void KernelTable::print() const {
    for (const char* size : kTableSizes) {
        const bool measured = std::any_of(figures_.begin(), figures_.end(),
                                          [&](const KernelFigure& figure) { return figure.size == size; });
        if (measured) printSize(size);
    }
    std::fflush(stdout);
}

}  // namespace dd7r_bench
