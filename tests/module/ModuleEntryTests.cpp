// The three exports and the logging binding, through the recording logging library.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TestDirectDraw.h"
#include "exports/LastError.h"
#include "diagnostics/ModuleLogger.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "support/LoggerProbe.h"
#include "host/SettableDevice.h"

using moduletest::recordedCalls;
using moduletest::recordingLogger;
using moduletest::recordingLoggerDirectory;
using dd7rdemo::SettableDevice;

namespace {

const std::string kPrefix = "dd7r --> createRenderer() error : ";

class ModuleEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        moduletest::resetLogging();
        ZelUISystem::setLastErrorText("");
        directDraw.reset(ddtest::createTestDirectDraw());
        ASSERT_NE(directDraw, nullptr);
        device.directDraw = directDraw.get();
    }
    void TearDown() override { moduletest::resetLogging(); }

    ZelUISystem::Renderer* create(const char* directory, std::uint32_t a = 5, std::uint32_t b = 6) {
        return createRenderer(&device, 0x1234, true, directory, a, b);
    }

    ddtest::TestDirectDrawPtr directDraw;
    SettableDevice device;
    const std::string loggerDir = recordingLoggerDirectory();
};

TEST_F(ModuleEntryTest, LastErrorIsEmptyUntilACreationFails) {
    EXPECT_STREQ(getLastErrorString(), "");
    ZelUISystem::Renderer* renderer = create(nullptr);
    ASSERT_NE(renderer, nullptr);
    EXPECT_STREQ(getLastErrorString(), "");
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, NullDeviceFailsWithItsTextAndReportsItToTheLogger) {
    recordingLogger().levelToReport = 3;
    EXPECT_EQ(createRenderer(nullptr, 0, false, loggerDir.c_str(), 5, 6), nullptr);
    const std::string reason = "CDD7Render::CDD7Render() --> Renderer device is NULL.";
    EXPECT_EQ(getLastErrorString(), kPrefix + reason);
    EXPECT_EQ(recordedCalls("fatal"), std::vector<std::string>{"fatal 1 " + reason});
    EXPECT_TRUE(recordedCalls("unrecovery").empty());
}

TEST_F(ModuleEntryTest, DeviceWithoutDirectDrawFails) {
    device.directDraw = nullptr;
    EXPECT_EQ(create(nullptr), nullptr);
    EXPECT_EQ(getLastErrorString(),
              kPrefix + "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object.");
}

TEST_F(ModuleEntryTest, FailureWithoutLoggerGoesToUnRecoveryError) {
    recordingLogger().levelToReport = 0;
    device.directDraw = nullptr;
    EXPECT_EQ(create(loggerDir.c_str()), nullptr);
    EXPECT_EQ(recordedCalls("unrecovery"),
              std::vector<std::string>{
                  "unrecovery CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object."});
}

TEST_F(ModuleEntryTest, NonStandardFailureGivesUnknowErrorText) {
    recordingLogger().levelToReport = 2;
    device.throwNonStandard = true;
    EXPECT_EQ(create(loggerDir.c_str()), nullptr);
    EXPECT_EQ(getLastErrorString(), kPrefix + "Unknow error!");
    EXPECT_EQ(recordedCalls("fatal"), std::vector<std::string>{"fatal 1 " + kPrefix + "Unknow error!"});
}

// Reporting the failure is the logging library's code: what it throws changes neither the null
// result nor the last-error text.
TEST_F(ModuleEntryTest, ThrowingReportKeepsTheNullResultAndTheText) {
    recordingLogger().levelToReport = 2;
    recordingLogger().throwOnFatal = true;
    device.directDraw = nullptr;
    EXPECT_EQ(create(loggerDir.c_str()), nullptr);
    EXPECT_EQ(getLastErrorString(),
              kPrefix + "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object.");
    EXPECT_EQ(recordedCalls("fatal").size(), 1u);
}

TEST_F(ModuleEntryTest, SuccessAfterFailureKeepsTheOldText) {
    EXPECT_EQ(createRenderer(nullptr, 0, false, nullptr, 0, 0), nullptr);
    const std::string failure = getLastErrorString();
    ZelUISystem::Renderer* renderer = create(nullptr);
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(getLastErrorString(), failure);
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, BindingAsksTheLevelWithTheHostDirectoryAndCreatesTheLogger) {
    recordingLogger().levelToReport = 3;
    ZelUISystem::Renderer* renderer = create(loggerDir.c_str(), 77, 88);
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(recordedCalls("level"),
              std::vector<std::string>{"level " + loggerDir + " dd7r KelLogger.ini"});
    EXPECT_EQ(recordedCalls("create"), std::vector<std::string>{"create 77 88 dd7r 3"});
    EXPECT_NE(ZelUISystem::moduleLogger(), nullptr);
    destroyRenderer(renderer);
    EXPECT_EQ(ZelUISystem::moduleLogger(), nullptr);
    EXPECT_EQ(recordingLogger().loggersDestroyed, 1);
}

TEST_F(ModuleEntryTest, LevelZeroCreatesNoLoggerAndLogsNothing) {
    recordingLogger().levelToReport = 0;
    device.width = 800.0f;
    ZelUISystem::Renderer* renderer = create(loggerDir.c_str());
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(ZelUISystem::moduleLogger(), nullptr);
    EXPECT_TRUE(recordedCalls("create").empty());
    renderer->preD3DReset();
    bool changed = false;
    renderer->postD3DReset(&changed);
    EXPECT_TRUE(recordedCalls("log").empty());
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, EveryCreationAsksTheLevelAgainButKeepsOneLogger) {
    recordingLogger().levelToReport = 2;
    ZelUISystem::Renderer* first = create(loggerDir.c_str());
    ZelUISystem::Renderer* second = create(loggerDir.c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(recordedCalls("level").size(), 2u);
    EXPECT_EQ(recordingLogger().loggersCreated, 1);

    // Destroying either renderer releases the shared logger; the other keeps working silently.
    destroyRenderer(first);
    EXPECT_EQ(ZelUISystem::moduleLogger(), nullptr);
    const std::size_t callsBefore = recordingLogger().calls.size();
    second->preD3DReset();
    bool changed = true;
    second->postD3DReset(&changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(recordingLogger().calls.size(), callsBefore);

    // The next creation makes a fresh logger without loading the library again.
    ZelUISystem::Renderer* third = create(loggerDir.c_str());
    EXPECT_EQ(recordingLogger().loggersCreated, 2);
    destroyRenderer(second);
    destroyRenderer(third);
}

TEST_F(ModuleEntryTest, DestroyingNullStillReleasesTheLogger) {
    recordingLogger().levelToReport = 1;
    ZelUISystem::Renderer* renderer = create(loggerDir.c_str());
    ASSERT_NE(ZelUISystem::moduleLogger(), nullptr);
    destroyRenderer(nullptr);
    EXPECT_EQ(ZelUISystem::moduleLogger(), nullptr);
    EXPECT_EQ(recordingLogger().loggersDestroyed, 1);
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, ThrowingLoggerCreationFailsWithoutBuildingARenderer) {
    recordingLogger().levelToReport = 2;
    recordingLogger().throwOnCreate = true;
    EXPECT_EQ(create(loggerDir.c_str()), nullptr);
    EXPECT_EQ(getLastErrorString(), kPrefix + "logger refused");
    EXPECT_EQ(recordedCalls("unrecovery"),
              std::vector<std::string>{"unrecovery " + kPrefix + "logger refused"});
    EXPECT_EQ(device.directDrawQueries, 0);
}

TEST_F(ModuleEntryTest, MissingLibraryMeansNoLoggingAndTheRendererStillWorks) {
    const std::string nowhere = moduletest::executableDirectory() + "no-such-folder/";
    ZelUISystem::Renderer* renderer = create(nowhere.c_str());
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(ZelUISystem::moduleLogger(), nullptr);
    EXPECT_TRUE(recordingLogger().calls.empty());
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, DirectoryIsGluedToTheLibraryNameWithoutSeparator) {
    // Without its trailing separator the folder name runs into the file name, so the recording
    // library (inside that folder) is not the one found.
    std::string glued = loggerDir;
    glued.pop_back();
    recordingLogger().levelToReport = 3;
    ZelUISystem::Renderer* renderer = create(glued.c_str());
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(recordedCalls("level").empty());
    destroyRenderer(renderer);
}

TEST_F(ModuleEntryTest, ReportDDErrorNamesKnownCodesAndPrintsOthersBare) {
    recordingLogger().levelToReport = 1;
    ZelUISystem::Renderer* renderer = create(loggerDir.c_str());
    ZelUISystem::reportDDError("with out alpha blend strecth blt source surface error",
                               DDERR_SURFACELOST);
    ZelUISystem::reportDDError("ctx", static_cast<HRESULT>(0x88760078u));
    ZelUISystem::reportDDError("ctx", DDERR_INVALIDPARAMS);
    EXPECT_EQ(recordedCalls("log"),
              (std::vector<std::string>{
                  "log 1 with out alpha blend strecth blt source surface error(-2005532222) DDERR_SURFACELOST",
                  "log 1 ctx(-2005532552)", "log 1 ctx(-2147024809) DDERR_INVALIDPARAMS"}));

    // Every code of the log table, and codes that have a name elsewhere but not in log lines.
    const std::pair<std::uint32_t, const char*> table[] = {
        {0x80004001u, " DDERR_UNSUPPORTED"}, {0x80004005u, " DDERR_GENERIC"},
        {0x8876006Eu, " DDERR_INVALIDCLIPLIST"}, {0x88760082u, " DDERR_INVALIDOBJECT"},
        {0x88760096u, " DDERR_INVALIDRECT"}, {0x887600B4u, " DDERR_NOALPHAHW"},
        {0x887600CDu, " DDERR_NOCLIPLIST"}, {0x88760118u, " DDERR_NORASTEROPHW"},
        {0x88760136u, " DDERR_NOSTRETCHHW"}, {0x887601AEu, " DDERR_SURFACEBUSY"},
        {0x8876021Cu, " DDERR_WASSTILLDRAWING"}, {0x8876023Fu, " DDERR_NOBLTHW"},
        {0x8007000Eu, ""}, {0x88760064u, ""}, {0x8876005Fu, ""}, {0x887600D7u, ""}, {0u, ""}};
    for (const auto& [code, name] : table) {
        recordingLogger().calls.clear();
        ZelUISystem::reportDDError("c", static_cast<HRESULT>(code));
        EXPECT_EQ(recordedCalls("log"),
                  std::vector<std::string>{"log 1 c(" + std::to_string(static_cast<std::int32_t>(code)) + ")" + name});
    }
    destroyRenderer(renderer);
}

}  // namespace
