// bench_scaling: the scaling table of the renderer module on the software DirectDraw (native
// builds). Usage: bench_scaling [--rounds=N]

#include <malloc.h>

#include <cstdio>
#include <exception>
#include <map>
#include <memory>

#include "screen/BenchDevice.h"
#include "ScalingRun.h"
#include "screen/SoftScreen.h"
#include "interface/DestroySlot.h"
#include "core/ModuleCore.h"

namespace scalingbench {

namespace {

class SoftHost final : public ScalingHost {
public:
    SoftHost() : screen_(kScreenWidth, kScreenHeight) {}

    ZelUISystem::Renderer* createRenderer(int blendMode) override {
        auto device = std::make_unique<framebench::BenchDevice>(screen_.directDraw(), kScreenWidth, kScreenHeight,
                                                                blendMode);
        auto* renderer = new ZelUISystem::CDD7Render(device.get(), 0, false);
        renderer->setTargetSurface(screen_.target());
        devices_[renderer] = std::move(device);
        return renderer;
    }

    void destroyRenderer(ZelUISystem::Renderer* renderer) override {
        renderer->destroy(ZelUISystem::kDestroyAndFree);
        devices_.erase(renderer);
        screen_.takeCallCount();
    }

    void afterPass() override { screen_.takeCallCount(); }

    // The C library's heap: its arena chunks in use and its separately mapped large blocks.
    std::size_t memoryInUse() const override {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    }

    const char* description() const override { return "native, the module on the software DirectDraw"; }

private:
    framebench::SoftScreen screen_;
    std::map<const ZelUISystem::Renderer*, std::unique_ptr<framebench::BenchDevice>> devices_;
};

}  // namespace

}  // namespace scalingbench

int main(int argc, char** argv) { return scalingbench::scalingMain<scalingbench::SoftHost>("bench_scaling", argc, argv); }
