// bench_frame_win: the benchmark scene drawn by the product, dd7r.dll on the system's DirectDraw
// 7 (run under Wine: Wine's), in blend modes 0, 1 and 2 at every screen size of the scene
// folder. A plain timing program (Google Benchmark is not built for mingw): the best and the
// median wall time of many single frames, the frame's floor from a memory pass timed in the
// same run, and where the time goes, from a few frames with every DirectDraw surface call timed.
// Every case is measured in several rounds spread over the run and keeps its fastest round: on a
// shared machine a disturbance can last longer than one case's frames, as the native
// benchmark's repetitions allow for too.
//
// Usage: bench_frame_win --scene-dir=DIR [--native=FILE] [--samples=N] [--timed-frames=N]
//                        [--rounds=N] [--surface-memory=0|1|2]
//   --native=FILE         bench_frame's --summary-out file of the same run: the native and SDL2
//                         figures
//   --surface-memory=N    where the surfaces live, as the device answers querySurfaceMemory: 0
//                         system memory (the default, as natively), 1 video memory, 2 DirectDraw
//                         chooses

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "screen/BenchSurfaces.h"
#include "DDrawCallTimer.h"
#include "scene/FrameCases.h"
#include "screen/FrameTraffic.h"
#include "scene/SceneFiles.h"
#include "screen/WineFrame.h"
#include "host/RendererModule.h"
#include "WineTables.h"

namespace framebench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kScreenBytesPerPixel = 4;  // the scene's screen is 32-bit
constexpr std::uint32_t kScreenRgbMode = 4;        // DDS_RGBMODE_32
constexpr int kWarmUpFrames = 3;

struct Options {
    std::string sceneDirectory;
    std::string nativeSummary;
    int samples = 25;
    int timedFrames = 15;
    int rounds = 3;
    int surfaceMemory = 0;
};

bool takeValue(const char* arg, const char* name, std::string& value) {
    const std::size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0 || arg[length] != '=') return false;
    value = arg + length + 1;
    return true;
}

int positive(const std::string& text, const char* name) {
    const int value = std::atoi(text.c_str());
    if (value <= 0) throw std::invalid_argument(std::string(name) + " needs a positive number");
    return value;
}

int surfaceMemoryOf(const std::string& text) {
    if (text != "0" && text != "1" && text != "2") throw std::invalid_argument("--surface-memory is 0, 1 or 2");
    return std::atoi(text.c_str());
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (takeValue(argv[i], "--scene-dir", value)) options.sceneDirectory = value;
        else if (takeValue(argv[i], "--native", value)) options.nativeSummary = value;
        else if (takeValue(argv[i], "--samples", value)) options.samples = positive(value, "--samples");
        else if (takeValue(argv[i], "--timed-frames", value)) options.timedFrames = positive(value, "--timed-frames");
        else if (takeValue(argv[i], "--rounds", value)) options.rounds = positive(value, "--rounds");
        else if (takeValue(argv[i], "--surface-memory", value)) options.surfaceMemory = surfaceMemoryOf(value);
        else throw std::invalid_argument(std::string("unknown option ") + argv[i]);
    }
    if (options.sceneDirectory.empty()) throw std::invalid_argument("--scene-dir=DIR is needed");
    return options;
}

template <typename Call>
std::vector<double> millisecondsOfEach(int samples, Call&& call) {
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        const Clock::time_point start = Clock::now();
        call();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times;
}

// Bytes per millisecond of the kernel benchmark's memory pass over two screen-sized buffers.
double memoryPassBytesPerMillisecond(const Scene& scene, int samples) {
    dd7r_bench::BenchSurfaces surfaces(kScreenRgbMode, static_cast<int>(scene.width), static_cast<int>(scene.height));
    const auto pass = [&] {
        dd7r_bench::memoryPass(surfaces.sourceBytes(), surfaces.destinationBytes(), surfaces.byteCount());
    };
    pass();
    const double best = millisecondsOfEach(samples, pass).front();
    return static_cast<double>(memoryPassBytes(static_cast<std::int64_t>(surfaces.byteCount()))) / best;
}

// The frames timed one by one, then one frame's calls for its least traffic (the floor follows
// once every round has timed its memory pass), then frames with every call timed.
struct BlendModeCase {
    const char* name;
    int blendMode;
    bool unchangedPass;  // blend mode 0 after one frame: each iteration only presents
};
constexpr BlendModeCase kBlendModeCases[] = {{kMode0FullCase, 0, false},
                                             {kMode0UnchangedCase, 0, true},
                                             {kMode1Case, 1, false},
                                             {kMode2Case, 2, false}};

WineCase measureCase(const ModuleLibrary& module, DirectDrawScreen& screen, const Scene& scene,
                     const BlendModeCase& mode, const Options& options) {
    WineFrame frame(module, screen, scene, mode.blendMode);
    frame.drawFrame();
    const auto iteration = [&frame, &mode](double* queueSeconds = nullptr) {
        if (mode.unchangedPass) frame.renderPass();
        else frame.drawFrame(queueSeconds);
    };
    for (int i = 0; i < kWarmUpFrames; ++i) iteration();
    WineCase result;
    result.name = mode.name;
    result.size = sizeLabel(scene.width, scene.height);
    const std::vector<double> times = millisecondsOfEach(options.samples, [&iteration] { iteration(); });
    result.bestMilliseconds = times.front();
    result.medianMilliseconds = times[times.size() / 2];

    FrameCallTimes oneFrame;
    recordCallsInto(&oneFrame);
    iteration();
    recordCallsInto(nullptr);
    result.leastBytes = leastTrafficBytes(oneFrame.pixelCalls, kScreenBytesPerPixel);

    // On a shared machine the fastest timed frame is the one least disturbed: its breakdown is kept.
    for (int i = 0; i < options.timedFrames; ++i) {
        FrameCallTimes calls;
        recordCallsInto(&calls);
        const Clock::time_point start = Clock::now();
        iteration(&calls.queueSeconds);
        const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        recordCallsInto(nullptr);
        if (result.timedFrames == 0 || milliseconds < result.timedMilliseconds) {
            calls.pixelCalls.clear();
            result.callTimes = calls;
            result.timedMilliseconds = milliseconds;
            result.timedFrames = 1;
        }
    }
    return result;
}

// Keeps the faster of two rounds of one case: its frame times from the round with the fastest
// frame, its breakdown from the fastest timed frame of all.
void keepFastest(WineCase& kept, const WineCase& round) {
    if (round.bestMilliseconds < kept.bestMilliseconds) {
        kept.bestMilliseconds = round.bestMilliseconds;
        kept.medianMilliseconds = round.medianMilliseconds;
    }
    if (round.timedMilliseconds < kept.timedMilliseconds) {
        kept.timedMilliseconds = round.timedMilliseconds;
        kept.timedFrames = round.timedFrames;
        kept.callTimes = round.callTimes;
    }
}

struct MeasuredRounds {
    std::vector<WineCase> cases;                  // in scene and mode order
    std::vector<double> passBytesPerMillisecond;  // each scene's memory pass at its fastest round
};

MeasuredRounds measureRounds(const ModuleLibrary& module, const std::deque<Scene>& scenes, const Options& options) {
    MeasuredRounds measured;
    measured.passBytesPerMillisecond.assign(scenes.size(), 0.0);
    for (int round = 0; round < options.rounds; ++round) {
        std::size_t caseIndex = 0;
        for (std::size_t sceneIndex = 0; sceneIndex < scenes.size(); ++sceneIndex) {
            const Scene& scene = scenes[sceneIndex];
            DirectDrawScreen screen(scene.width, scene.height, options.surfaceMemory);
            std::string error;
            if (!installCallTimer(screen.target(), error)) throw std::runtime_error(error);
            double& fastestPass = measured.passBytesPerMillisecond[sceneIndex];
            fastestPass = std::max(fastestPass, memoryPassBytesPerMillisecond(scene, options.samples));
            for (const BlendModeCase& mode : kBlendModeCases) {
                WineCase one = measureCase(module, screen, scene, mode, options);
                if (round == 0) measured.cases.push_back(std::move(one));
                else keepFastest(measured.cases[caseIndex], one);
                ++caseIndex;
            }
        }
    }
    std::size_t caseIndex = 0;
    for (double pass : measured.passBytesPerMillisecond)
        for (std::size_t m = 0; m < std::size(kBlendModeCases); ++m, ++caseIndex) {
            WineCase& one = measured.cases[caseIndex];
            one.floorMilliseconds = static_cast<double>(one.leastBytes) / pass;
        }
    return measured;
}

void printMemoryPasses(const std::deque<Scene>& scenes, const std::vector<double>& passBytesPerMillisecond) {
    for (std::size_t i = 0; i < scenes.size(); ++i)
        std::printf("  %s: %zu quads, memory pass %.1f GB/s\n", sizeLabel(scenes[i].width, scenes[i].height).c_str(),
                    scenes[i].quads.size(), passBytesPerMillisecond[i] / 1e6);
}

const char* wineVersion() {
    using VersionFn = const char*(CDECL*)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC entry = ntdll == nullptr ? nullptr : GetProcAddress(ntdll, "wine_get_version");
    return entry == nullptr ? "not Wine" : reinterpret_cast<VersionFn>(reinterpret_cast<void*>(entry))();
}

int run(const Options& options) {
    const std::map<std::string, SceneTexture> textures = loadSceneTextures(options.sceneDirectory);
    std::deque<Scene> scenes;
    for (const auto& [width, height] : findSceneSizes(options.sceneDirectory))
        scenes.push_back(loadScene(options.sceneDirectory, width, height, textures));
    const ModuleLibrary module(dd7rdemo::defaultRendererModulePath());
    std::printf("bench_frame_win: dd7r.dll on DirectDraw 7 (Wine %s), surface memory %d, %d frames per case in each "
                "of %d rounds, scene %s\n",
                wineVersion(), options.surfaceMemory, options.samples, options.rounds, options.sceneDirectory.c_str());

    const MeasuredRounds measured = measureRounds(module, scenes, options);
    printMemoryPasses(scenes, measured.passBytesPerMillisecond);
    const std::vector<WineCase>& cases = measured.cases;
    printWineCases(cases, readNativeMilliseconds(options.nativeSummary), options.samples, options.rounds);
    printWhereTimeGoes(cases);
    printBlitSpeeds(cases);
    return 0;
}

}  // namespace

}  // namespace framebench

int main(int argc, char** argv) {
    try {
        return framebench::run(framebench::parseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_frame_win: %s\n", error.what());
        return 1;
    }
}
