// Kernel throughput for the Windows i686 build, where the MMX code is real MMX: the median
// (and the best) of many timed runs per kernel, mode and size, beside a memory pass, as a
// table in Mpix/s.
// Usage: bench_kernels_win [samples]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "screen/BenchSurfaces.h"
#include "KernelTable.h"
#include "TimedKernels.h"

namespace dd7r_bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double median;  // seconds per call
    double best;    // the fastest sample: least disturbed by other processes
};

// Seconds one call takes, over samples; each sample repeats the call until it has run for a
// few milliseconds, so the clock's resolution does not matter.
template <typename Call>
Timing secondsPerCall(Call&& call, int samples) {
    int repeats = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int i = 0; i < repeats; ++i) call();
        if (Clock::now() - start > std::chrono::milliseconds(5) || repeats > (1 << 24)) break;
        repeats *= 2;
    }
    std::vector<double> seconds;
    for (int s = 0; s < samples; ++s) {
        const auto start = Clock::now();
        for (int i = 0; i < repeats; ++i) call();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count() / repeats);
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds[std::size_t(samples / 2)], seconds.front()};
}

// Prints the row and keeps its best figure for the kernel table.
void printRow(const char* name, std::uint32_t mode, const BenchSize& size, Timing timing, KernelTable& table) {
    const double megapixels = double(size.width) * size.height / 1e6;
    std::printf("%-20s %-4s %-10s %10.1f %10.1f\n", name, kModeNames[mode], size.name,
                megapixels / timing.median, megapixels / timing.best);
    table.add({name, mode, size.name, megapixels / timing.best});
}

// With size names after the sample count, only those sizes run.
bool isAsked(const BenchSize& size, int argc, char** argv) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], size.name) == 0) return true;
    return false;
}

}  // namespace
}  // namespace dd7r_bench

int main(int argc, char** argv) {
    using namespace dd7r_bench;
    const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::printf("%-20s %-4s %-10s %10s %10s\n", "kernel", "mode", "size", "median", "best");
    KernelTable table;
    for (const BenchSize& size : kBenchSizes) {
        if (!isAsked(size, argc, argv)) continue;
        for (std::uint32_t mode = 0; mode <= 4; ++mode) {
            BenchSurfaces surfaces(mode, size.width, size.height);
            for (const TimedKernel& kernel : timedKernels())
                printRow(kernel.name, mode, size, secondsPerCall([&] { kernel.run(surfaces, mode); }, samples),
                         table);
            printRow("MemoryPass", mode, size, secondsPerCall([&] {
                         memoryPass(surfaces.sourceBytes(), surfaces.destinationBytes(), surfaces.byteCount());
                     }, samples), table);
        }
    }
    table.print();
    return 0;
}
