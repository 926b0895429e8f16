#include "HostSession.h"

#include "corona_testing.h"
#include "core/ModuleCore.h"

#include <stdexcept>

namespace reliability {

namespace {

const char* const kNoLoggerDirectory = "/nonexistent-dd7r-logger/";

}  // namespace

HostSession::HostSession(ddtest::TestDisplayFormat display, int blendMode, float width, float height)
    : directDraw_(ddtest::createHookedDirectDraw(ddtest::pixelFormatOf(display))) {
    if (!directDraw_) throw std::runtime_error("no DirectDraw with test hooks could be had");
    device_.directDraw = directDraw_.get();
    device_.width = width;
    device_.height = height;
    device_.blendMode = blendMode;
    // Blend modes 1 and 2 need the MMX kernels: the processor is made to report MMX.
    ZelUISystem::overrideProcessorHasMMXForTesting(1);
    target_ = ddtest::createTestSurface(directDraw_.get(), static_cast<DWORD>(width),
                                        static_cast<DWORD>(height));
}

HostSession::~HostSession() {
    releaseTarget();
    ZelUISystem::overrideProcessorHasMMXForTesting(-1);
}

ZelUISystem::Renderer* HostSession::createRenderer() {
    return ::createRenderer(&device_, 0, false, kNoLoggerDirectory, 0, 0);
}

void HostSession::releaseTarget() {
    if (target_ != nullptr) target_->Release();
    target_ = nullptr;
}

::testing::AssertionResult nothingLeftBehind(const ddtest::HookedDirectDraw& soft) {
    if (soft.liveSurfaceCount() != 0)
        return ::testing::AssertionFailure() << soft.liveSurfaceCount() << " surfaces still alive";
    if (soft.releasedTooOftenCount() != 0)
        return ::testing::AssertionFailure() << soft.releasedTooOftenCount() << " surplus Release calls";
    if (soft.usedAfterReleaseCount() != 0)
        return ::testing::AssertionFailure() << soft.usedAfterReleaseCount() << " calls on released surfaces";
    if (corona::testing::LiveImageCount() != 0)
        return ::testing::AssertionFailure() << corona::testing::LiveImageCount() << " images never destroyed";
    if (corona::testing::LiveFileCount() != 0)
        return ::testing::AssertionFailure() << corona::testing::LiveFileCount() << " memory files never destroyed";
    return ::testing::AssertionSuccess();
}

}  // namespace reliability
