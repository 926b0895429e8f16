// Throughput of the blend kernels in megapixels per second, beside pixman, SDL2 and a memory
// pass doing the same work on the same pixels in the same run.

#include <benchmark/benchmark.h>

#include <SDL.h>
#include <pixman.h>

#include <string>

#include "screen/BenchSurfaces.h"
#include "KernelTable.h"
#include "TimedKernels.h"

namespace dd7r_bench {
namespace {

constexpr std::uint32_t kMode565 = 1;
constexpr std::uint32_t kMode32 = 4;

void countPixels(benchmark::State& state, int width, int height) {
    state.counters["Mpix/s"] = benchmark::Counter(double(width) * height / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void timeKernel(benchmark::State& state, TimedKernel kernel, std::uint32_t mode, BenchSize size) {
    BenchSurfaces surfaces(mode, size.width, size.height);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kernel.run(surfaces, mode));
        benchmark::ClobberMemory();
    }
    countPixels(state, size.width, size.height);
}

void timeMemoryPass(benchmark::State& state, std::uint32_t mode, BenchSize size) {
    BenchSurfaces surfaces(mode, size.width, size.height);
    for (auto _ : state) {
        memoryPass(surfaces.sourceBytes(), surfaces.destinationBytes(), surfaces.byteCount());
        benchmark::ClobberMemory();
    }
    countPixels(state, size.width, size.height);
}

// pixman OVER with a solid alpha mask: constant-alpha blending. The 32-bit source carries
// alpha 0 on its transparent pixels (premultiplied zero) and 0xFF elsewhere.
void timePixman(benchmark::State& state, std::uint32_t mode, BenchSize size) {
    BenchSurfaces surfaces(mode, size.width, size.height);
    const bool is32 = mode == kMode32;
    if (is32) {
        for (std::size_t i = 0; i < surfaces.byteCount(); i += 4) {
            std::uint8_t* p = surfaces.sourceBytes() + i;
            p[3] = (p[0] | p[1] | p[2]) == 0 ? 0 : 0xFF;
        }
    }
    const pixman_format_code_t sourceFormat = is32 ? PIXMAN_a8r8g8b8 : PIXMAN_r5g6b5;
    const pixman_format_code_t destinationFormat = is32 ? PIXMAN_x8r8g8b8 : PIXMAN_r5g6b5;
    pixman_image_t* source = pixman_image_create_bits(
        sourceFormat, size.width, size.height, reinterpret_cast<uint32_t*>(surfaces.sourceBytes()), surfaces.pitch());
    pixman_image_t* destination =
        pixman_image_create_bits(destinationFormat, size.width, size.height,
                                 reinterpret_cast<uint32_t*>(surfaces.destinationBytes()), surfaces.pitch());
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, mask, destination, 0, 0, 0, 0, 0, 0,
                                 size.width, size.height);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(destination);
    pixman_image_unref(source);
    countPixels(state, size.width, size.height);
}

enum class SdlBlend { AlphaMod, AlphaColourModKeyed };

void timeSdl(benchmark::State& state, std::uint32_t mode, BenchSize size, SdlBlend kind, int alpha) {
    BenchSurfaces surfaces(mode, size.width, size.height);
    const Uint32 format = mode == kMode32 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    const int depth = mode == kMode32 ? 32 : 16;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(surfaces.sourceBytes(), size.width, size.height,
                                                             depth, surfaces.pitch(), format);
    SDL_Surface* destination = SDL_CreateRGBSurfaceWithFormatFrom(
        surfaces.destinationBytes(), size.width, size.height, depth, surfaces.pitch(), format);
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(source, static_cast<Uint8>(alpha));
    if (kind == SdlBlend::AlphaColourModKeyed) {
        SDL_SetSurfaceColorMod(source, 240, 200, 160);
        SDL_SetColorKey(source, SDL_TRUE, 0);
    }
    for (auto _ : state) {
        SDL_Rect area{0, 0, size.width, size.height};
        benchmark::DoNotOptimize(SDL_BlitSurface(source, nullptr, destination, &area));
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(destination);
    SDL_FreeSurface(source);
    countPixels(state, size.width, size.height);
}

void registerAll() {
    for (const BenchSize& size : kBenchSizes) {
        for (std::uint32_t mode = 0; mode <= kMode32; ++mode) {
            const std::string suffix = std::string("/") + kModeNames[mode] + "/" + size.name;
            for (const TimedKernel& kernel : timedKernels())
                benchmark::RegisterBenchmark((kernel.name + suffix).c_str(), timeKernel, kernel, mode, size);
            benchmark::RegisterBenchmark(("MemoryPass" + suffix).c_str(), timeMemoryPass, mode, size);
            if (mode != kMode565 && mode != kMode32) continue;
            benchmark::RegisterBenchmark(("PixmanOverSolidMask" + suffix).c_str(), timePixman, mode, size);
            benchmark::RegisterBenchmark(("SdlAlphaMod128" + suffix).c_str(), timeSdl, mode, size,
                                         SdlBlend::AlphaMod, 128);
            benchmark::RegisterBenchmark(("SdlAlphaMod200" + suffix).c_str(), timeSdl, mode, size,
                                         SdlBlend::AlphaMod, 200);
            benchmark::RegisterBenchmark(("SdlColourModKeyed" + suffix).c_str(), timeSdl, mode, size,
                                         SdlBlend::AlphaColourModKeyed, 128);
        }
    }
}

// The usual console output, then the kernel table of the best figure of every run.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto rate = run.counters.find("Mpix/s");
            if (rate != run.counters.end()) addFigure(run.benchmark_name(), rate->second.value);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        table_.print();
    }

private:
    // Names are kernel/mode/size.
    void addFigure(const std::string& name, double megapixelsPerSecond) {
        const std::size_t first = name.find('/');
        const std::size_t second = name.find('/', first + 1);
        if (first == std::string::npos || second == std::string::npos) return;
        const std::string mode = name.substr(first + 1, second - first - 1);
        for (std::uint32_t m = 0; m <= kMode32; ++m)
            if (mode == kModeNames[m])
                table_.add({name.substr(0, first), m, name.substr(second + 1, name.find('/', second + 1) - second - 1),
                            megapixelsPerSecond});
    }

    KernelTable table_;
};

}  // namespace
}  // namespace dd7r_bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    dd7r_bench::registerAll();
    dd7r_bench::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
