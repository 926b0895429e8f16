#pragma once
// A renderer on a test DirectDraw, with the pieces most renderer and texture tests need.

#include <gtest/gtest.h>

#include <memory>

#include "SurfacePixels.h"
#include "TestDirectDraw.h"
#include "diagnostics/ModuleLogger.h"
#include "core/ModuleCore.h"
#include "support/LoggerProbe.h"
#include "host/SettableDevice.h"

namespace moduletest {

struct RendererDeleter {
    void operator()(ZelUISystem::CDD7Render* renderer) const {
        renderer->destroy(ZelUISystem::kDestroyAndFree);
    }
};
using RendererPtr = std::unique_ptr<ZelUISystem::CDD7Render, RendererDeleter>;

class RendererFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetLogging();
        ZelUISystem::overrideProcessorHasMMXForTesting(1);
        directDraw.reset(ddtest::createTestDirectDraw(displayFormat()));
        ASSERT_NE(directDraw, nullptr);
        device.directDraw = directDraw.get();
    }
    void TearDown() override {
        ZelUISystem::overrideProcessorHasMMXForTesting(-1);
        resetLogging();
    }

    virtual ddtest::TestDisplayFormat displayFormat() const { return ddtest::TestDisplayFormat::Xrgb32; }

    RendererPtr makeRenderer() { return RendererPtr(new ZelUISystem::CDD7Render(&device, 0, false)); }

    // Binds the recording logging library with a logger at the given level.
    void enableLogging(int level) {
        recordingLogger().levelToReport = level;
        ZelUISystem::bindLoggingLibrary(recordingLoggerDirectory().c_str(), 0, 0);
        ASSERT_NE(ZelUISystem::moduleLogger(), nullptr);
    }

    static ZelUISystem::CDD7Texture* asTexture(ZelUISystem::Texture* texture) {
        return static_cast<ZelUISystem::CDD7Texture*>(texture);
    }

    ddtest::TestDirectDrawPtr directDraw;
    dd7rdemo::SettableDevice device;
};

}  // namespace moduletest
