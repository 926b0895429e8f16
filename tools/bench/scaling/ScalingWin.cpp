// bench_scaling_win: the scaling table of the product, dd7r.dll loaded by path like a host loads
// it, on the system's DirectDraw 7 (Wine's, when run under Wine). Windows builds only.
// Usage: bench_scaling_win [--rounds=N]

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <psapi.h>

#include "screen/BenchDevice.h"
#include "ScalingRun.h"
#include "screen/WineFrame.h"
#include "host/RendererModule.h"
#include "interface/Renderer.h"

namespace scalingbench {

namespace {

// The process's commit charge (private committed memory): Wine's heap walk leaves out the large
// blocks it maps apart, so this is the figure that sees every allocation, in pages. Read as
// PagefileUsage, which Windows fills with the same value and Wine fills at all.
std::size_t committedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return counters.PagefileUsage;
}

class WineHost final : public ScalingHost {
public:
    WineHost() : module_(dd7rdemo::defaultRendererModulePath()), screen_(kScreenWidth, kScreenHeight, 0) {}

    ZelUISystem::Renderer* createRenderer(int blendMode) override {
        auto device = std::make_unique<framebench::BenchDevice>(screen_.directDraw(), kScreenWidth, kScreenHeight,
                                                                blendMode);
        ZelUISystem::Renderer* renderer = module_.createRenderer(device.get(), 0, false, nullptr, 0, 0);
        if (renderer == nullptr)
            throw std::runtime_error(std::string("createRenderer failed: ") + module_.getLastErrorString());
        renderer->setTargetSurface(screen_.target());
        devices_[renderer] = std::move(device);
        return renderer;
    }

    void destroyRenderer(ZelUISystem::Renderer* renderer) override {
        module_.destroyRenderer(renderer);
        devices_.erase(renderer);
    }

    std::size_t memoryInUse() const override { return committedBytes(); }
    std::size_t memoryGranularity() const override { return 4096; }

    const char* description() const override { return "dd7r.dll on the system's DirectDraw 7 (under Wine: Wine's)"; }

private:
    framebench::ModuleLibrary module_;
    framebench::DirectDrawScreen screen_;
    std::map<const ZelUISystem::Renderer*, std::unique_ptr<framebench::BenchDevice>> devices_;
};

}  // namespace

}  // namespace scalingbench

int main(int argc, char** argv) { return scalingbench::scalingMain<scalingbench::WineHost>("bench_scaling_win", argc, argv); }
