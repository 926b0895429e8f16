// bench_frame: the benchmark scene (a 300-quad GUI frame) drawn by the renderer module on the
// software DirectDraw in each blend mode, and by SDL2's software renderer, in one run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <iostream>
#include <string>

#include "BenchOptions.h"
#include "screen/BenchSurfaces.h"
#include "Dd7rFrame.h"
#include "scene/FrameCases.h"
#include "FrameChecks.h"
#include "FrameSummary.h"
#include "screen/FrameTraffic.h"
#include "scene/SceneFiles.h"
#include "SdlFrame.h"
#include "StretchBaseline.h"

namespace framebench {

namespace {

constexpr std::uint32_t kScreenBytesPerPixel = 4;  // the scene's screen is 32-bit
constexpr std::uint32_t kScreenRgbMode = 4;        // DDS_RGBMODE_32

std::int64_t screenPixelCount(const Scene& scene) { return std::int64_t{scene.width} * scene.height; }

void setLeastBytes(benchmark::State& state, std::int64_t bytes) {
    state.counters[kLeastBytesCounter] = benchmark::Counter(static_cast<double>(bytes));
}

// The least traffic is counted from the calls of one untimed frame, the log emptied first.
std::int64_t leastBytesOfOneFrame(Dd7rFrame& frame) {
    frame.takePixelCalls();
    frame.drawFrame();
    return leastTrafficBytes(frame.takePixelCalls(), kScreenBytesPerPixel);
}

void setFrameCounters(benchmark::State& state, const Scene& scene, std::size_t ddrawCalls) {
    state.SetItemsProcessed(state.iterations() * quadPixelCount(scene));
    state.counters["ddraw_calls"] = benchmark::Counter(static_cast<double>(ddrawCalls),
                                                       benchmark::Counter::kAvgIterations);
}

// A whole frame per iteration: clear, queue every quad, one render pass.
void dd7rFullFrame(benchmark::State& state, const Scene& scene, int blendMode) {
    Dd7rFrame frame(scene, blendMode);
    if (frame.blendMode() != blendMode) {
        state.SkipWithError("the renderer did not take the blend mode (no MMX?)");
        return;
    }
    const std::int64_t leastBytes = leastBytesOfOneFrame(frame);
    std::size_t calls = 0;
    for (auto _ : state) {
        frame.drawFrame();
        calls += frame.takeCallCount();
    }
    setFrameCounters(state, scene, calls);
    setLeastBytes(state, leastBytes);
}

// Composition mode after the picture was drawn once: a pass with nothing queued only presents.
void dd7rUnchangedPass(benchmark::State& state, const Scene& scene) {
    Dd7rFrame frame(scene, 0);
    frame.drawFrame();
    frame.takeCallCount();
    frame.renderPass();
    const std::int64_t leastBytes = leastTrafficBytes(frame.takePixelCalls(), kScreenBytesPerPixel);
    std::size_t calls = 0;
    for (auto _ : state) {
        frame.renderPass();
        calls += frame.takeCallCount();
    }
    state.counters["ddraw_calls"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * screenPixelCount(scene));
    setLeastBytes(state, leastBytes);
}

// What one present costs on its own: a full-screen colour-keyed BltFast of an opaque picture.
void ddrawPresent(benchmark::State& state, const Scene& scene) {
    SoftScreen screen(scene.width, scene.height);
    IDirectDrawSurface7* picture = screen.createSurface(scene.width, scene.height, true);
    screen.fill(picture, 0x405060);
    RECT whole{0, 0, static_cast<LONG>(scene.width), static_cast<LONG>(scene.height)};
    screen.takeCallCount();
    screen.target()->BltFast(0, 0, picture, &whole, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT);
    const std::int64_t leastBytes = leastTrafficBytes(screen.takePixelCalls(), kScreenBytesPerPixel);
    for (auto _ : state) {
        screen.target()->BltFast(0, 0, picture, &whole, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT);
        screen.takeCallCount();
    }
    picture->Release();
    state.SetItemsProcessed(state.iterations() * screenPixelCount(scene));
    setLeastBytes(state, leastBytes);
}

// The kernel benchmark's memory pass over two screen-sized 32-bit buffers, in the same run as
// the frames: its bytes per second turn each case's least traffic into a time, its floor.
void memoryPassOfScreen(benchmark::State& state, const Scene& scene) {
    dd7r_bench::BenchSurfaces surfaces(kScreenRgbMode, static_cast<int>(scene.width),
                                       static_cast<int>(scene.height));
    for (auto _ : state) {
        dd7r_bench::memoryPass(surfaces.sourceBytes(), surfaces.destinationBytes(), surfaces.byteCount());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * screenPixelCount(scene));
    setLeastBytes(state, memoryPassBytes(static_cast<std::int64_t>(surfaces.byteCount())));
}

// The lower bound for the DirectDraw's stretch blits of a frame: a plain 32-bit stretch loop.
void stretchBaseline(benchmark::State& state, const Scene& scene) {
    StretchBaseline baseline(scene);
    for (auto _ : state) {
        baseline.stretchAll();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * baseline.stretchedPixelCount());
}

void sdlFullFrame(benchmark::State& state, const Scene& scene) {
    SdlFrame frame(scene);
    for (auto _ : state) frame.drawFrame();
    state.SetItemsProcessed(state.iterations() * quadPixelCount(scene));
}

double fastest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// Benchmark functions must not throw: a failed setup becomes the case's error line. With
// repetitions, the fastest one is kept too ("_best"): on a shared machine it is the run least
// disturbed by other work.
template <typename Function>
void registerCase(const char* caseName, const Scene& scene, Function function) {
    const std::string name = std::string(caseName) + "/" + sizeLabel(scene.width, scene.height);
    benchmark::RegisterBenchmark(name.c_str(), [function, &scene](benchmark::State& state) {
        try {
            function(state, scene);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    })->Unit(benchmark::kMillisecond)->ComputeStatistics(kBestAggregate, fastest);
}

void registerCases(const Scene& scene) {
    registerCase(kSdlCase, scene, sdlFullFrame);
    registerCase(kMode0FullCase, scene, [](benchmark::State& s, const Scene& sc) { dd7rFullFrame(s, sc, 0); });
    registerCase(kMode0UnchangedCase, scene, dd7rUnchangedPass);
    registerCase(kPresentCase, scene, ddrawPresent);
    registerCase(kMode1Case, scene, [](benchmark::State& s, const Scene& sc) { dd7rFullFrame(s, sc, 1); });
    registerCase(kMode2Case, scene, [](benchmark::State& s, const Scene& sc) { dd7rFullFrame(s, sc, 2); });
    registerCase(kStretchBaselineCase, scene, stretchBaseline);
    registerCase(kMemoryPassCase, scene, memoryPassOfScreen);
}

// Every scene of the folder, textures shared; a deque keeps each scene where it is.
std::deque<Scene> loadScenes(const std::string& directory,
                             const std::map<std::string, SceneTexture>& textures) {
    std::deque<Scene> scenes;
    for (const auto& [width, height] : findSceneSizes(directory))
        scenes.push_back(loadScene(directory, width, height, textures));
    return scenes;
}

}  // namespace

}  // namespace framebench

int main(int argc, char** argv) {
    using namespace framebench;
    BenchOptions options;
    std::map<std::string, SceneTexture> textures;
    std::deque<Scene> scenes;
    try {
        options = takeBenchOptions(argc, argv);
        textures = loadSceneTextures(options.sceneDirectory);
        scenes = loadScenes(options.sceneDirectory, textures);
    } catch (const std::exception& error) {
        std::cerr << "bench_frame: " << error.what()
                  << "\n(the scene folder: --scene-dir=DIR or DD7R_BENCH_SCENE)\n";
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    std::cout << "Scene folder: " << options.sceneDirectory << "\n";
    for (const Scene& scene : scenes)
        std::cout << "  " << sizeLabel(scene.width, scene.height) << ": " << scene.quads.size()
                  << " quads, " << quadPixelCount(scene) << " quad pixels\n";
    for (const Scene& scene : scenes) registerCases(scene);

    FrameSummaryReporter reporter;
    reporter.setSummaryFile(options.summaryFile);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    try {
        if (options.frameCheck) printFrameChecks(scenes, options.dumpDirectory, std::cout);
    } catch (const std::exception& error) {
        std::cerr << "bench_frame: frame check failed: " << error.what() << "\n";
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
