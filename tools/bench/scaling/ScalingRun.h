#pragma once
// The scaling benchmark: what each renderer operation costs as a host's interface grows, in live
// textures (16 to 16,384) and in quads a frame (300 to 100,000), on a 1024x768 32-bit screen with
// 8x8 textures drawn as 16x16 quads. The cases reach the renderer through the host's interfaces
// only, so the native program (software DirectDraw) and the Windows one (dd7r.dll on the
// system's DirectDraw 7) make the very same calls and print the same table.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>

namespace ZelUISystem {
class Renderer;
}

namespace scalingbench {

constexpr std::uint32_t kScreenWidth = 1024;
constexpr std::uint32_t kScreenHeight = 768;

// What the cases need from the platform.
class ScalingHost {
public:
    virtual ~ScalingHost() = default;
    // A renderer in `blendMode` over a kScreenWidth x kScreenHeight 32-bit screen, its target
    // set. Throws std::runtime_error.
    virtual ZelUISystem::Renderer* createRenderer(int blendMode) = 0;
    virtual void destroyRenderer(ZelUISystem::Renderer* renderer) = 0;
    // After every render pass (natively the software DirectDraw's call log is forgotten, so that
    // it does not grow with the frames).
    virtual void afterPass() {}
    // The memory the process holds for its allocations, overhead included, and the step in which
    // that figure moves (1 when it counts every allocation).
    virtual std::size_t memoryInUse() const = 0;
    virtual std::size_t memoryGranularity() const { return 1; }
    virtual const char* description() const = 0;
};

struct ScalingOptions {
    int rounds = 3;  // every case is measured once per round and keeps its fastest sample
};

// Measures every case and prints the table. Throws on a failure of the platform.
void runScaling(ScalingHost& host, const ScalingOptions& options);

// "--rounds=N" (and nothing else); throws std::invalid_argument.
ScalingOptions parseScalingOptions(int argc, char** argv);

// A scaling program's main(): the options, then a Host, then the table. A failure is printed
// after the program's name; the exit status is 1 then, else 0.
template <typename Host>
int scalingMain(const char* program, int argc, char** argv) {
    try {
        const ScalingOptions options = parseScalingOptions(argc, argv);
        Host host;
        runScaling(host, options);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
        return 1;
    }
}

}  // namespace scalingbench
