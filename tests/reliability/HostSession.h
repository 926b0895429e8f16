#pragma once
// The host side of a reliability test: a DirectDraw with test hooks (the software stand-in
// natively, the real one behind the fault-injecting wrapper under Wine) with a given display
// layout, a renderer device answering a blend mode and a display size, and the host's own
// target surface. The renderer is made and destroyed through the module's exports, as a host
// does.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HookedDirectDraw.h"
#include "TestDirectDraw.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/Texture.h"
#include "fuzzhost/FuzzHost.h"

namespace reliability {

class HostSession {
public:
    HostSession(ddtest::TestDisplayFormat display, int blendMode, float width = 64.0f, float height = 48.0f);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // createRenderer with a logger directory that holds no logging library.
    ZelUISystem::Renderer* createRenderer();

    ddtest::HookedDirectDraw& soft() const { return *directDraw_; }
    IDirectDraw7* directDraw() const { return directDraw_.get(); }
    dd7rfuzz::FuzzDevice& device() { return device_; }
    IDirectDrawSurface7* target() const { return target_; }

    // Releases the host's target: afterwards no surface may be alive.
    void releaseTarget();

private:
    struct Releaser {
        void operator()(ddtest::HookedDirectDraw* directDraw) const { directDraw->Release(); }
    };
    std::unique_ptr<ddtest::HookedDirectDraw, Releaser> directDraw_;
    dd7rfuzz::FuzzDevice device_;
    IDirectDrawSurface7* target_ = nullptr;
};

// After destroyRenderer and the target's release: no live surface, none released too often or
// used after its release, and no image or memory file of the image library left.
::testing::AssertionResult nothingLeftBehind(const ddtest::HookedDirectDraw& soft);

}  // namespace reliability
