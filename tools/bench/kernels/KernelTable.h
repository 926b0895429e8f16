#pragma once
// The kernel table both timing programs end with: at 1920x1080 and 256x256, every kernel's
// throughput in each layout with its ratio to that layout's memory pass (how many times slower
// than only reading both rectangles and writing the destination), and per operation the best
// implementation against the goal: within 3x of the memory pass (2.5x where the layout allows
// it), 32-bit pixels within 1.5x.

#include <cstdint>
#include <string>
#include <vector>

namespace dd7r_bench {

struct KernelFigure {
    std::string kernel;  // "BlendAlphaAVX2", or "MemoryPass"
    std::uint32_t mode;  // RGB mode, 0..4
    std::string size;    // "1920x1080"
    double megapixelsPerSecond;
};

// Keeps the best figure of each kernel, mode and size.
class KernelTable {
public:
    void add(const KernelFigure& figure);
    void print() const;

private:
    const KernelFigure* find(const std::string& kernel, std::uint32_t mode, const std::string& size) const;
    void printSize(const std::string& size) const;

    std::vector<KernelFigure> figures_;
    std::vector<std::string> kernels_;  // in the order first seen, the memory pass excluded
};

}  // namespace dd7r_bench
