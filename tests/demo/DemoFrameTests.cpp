#include "DemoFrameChecksums.h"

#include "app/LoggingSetup.h"
#include "host/RendererModule.h"
#include "run/RenderSession.h"
#include "skin/SkinFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace dd7rdemo {
namespace {

namespace fs = std::filesystem;

const DisplayFormat kFormats[] = {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb32};
const int kBlendModes[] = {0, 1, 2};

// A fresh folder, removed with its contents afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = fs::temp_directory_path() / (name + "-" + std::to_string(stamp));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string utf8() const { return path_.u8string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string hex(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

std::string describe(DisplayFormat format, int blendMode) {
    return std::string("format ") + displayFormatName(format) + " blend " + std::to_string(blendMode);
}

class DemoFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        skinFolder_ = new ScratchFolder("dd7r-demo-skin");
        std::string error;
        ASSERT_TRUE(writeSkinFiles(skinFolder_->utf8(), error)) << error;
    }
    static void TearDownTestSuite() {
        delete skinFolder_;
        skinFolder_ = nullptr;
    }

    SessionRequest request(DisplayFormat format, int blendMode) const {
        SessionRequest r;
        r.format = format;
        r.blendMode = blendMode;
        r.width = kReferenceWidth;
        r.height = kReferenceHeight;
        r.frames = kReferenceFrames;
        r.skinDirectory = skinFolder_->utf8();
        return r;
    }

    RendererModule module_{defaultRendererModulePath()};
    static ScratchFolder* skinFolder_;
};

ScratchFolder* DemoFrames::skinFolder_ = nullptr;

// A frame shows a user interface, not a blank or flat target: many colours, and the clear
// colour left on few pixels (the background picture covers the display).
void expectDrawnFrame(const FrameResult& frame, const std::string& what) {
    ASSERT_EQ(kReferenceWidth, frame.image.width()) << what;
    ASSERT_EQ(kReferenceHeight, frame.image.height()) << what;
    std::set<std::uint32_t> colours;
    const std::vector<std::uint8_t>& pixels = frame.image.pixels();
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3)
        colours.insert(static_cast<std::uint32_t>(pixels[i]) << 16 | pixels[i + 1] << 8 | pixels[i + 2]);
    EXPECT_GT(colours.size(), 200u) << what << ": too few colours for the skin";
}

TEST_F(DemoFrames, EveryModeAndFormatRendersTheKeptFrames) {
    ASSERT_TRUE(module_.ok()) << module_.error();
    std::ostringstream differing;
    for (DisplayFormat format : kFormats)
        for (int blendMode : kBlendModes) {
            const std::string what = describe(format, blendMode);
            const SessionResult result = renderSession(module_, request(format, blendMode));
            ASSERT_TRUE(result.ok()) << what << ": " << result.error;
            ASSERT_EQ(kReferenceFrames, result.frames.size()) << what;
            const FrameChecksums& kept = referenceChecksums(format, blendMode);
            for (const FrameResult& frame : result.frames) {
                expectDrawnFrame(frame, what + " frame " + std::to_string(frame.index));
                if (frame.checksum != kept[frame.index])
                    differing << "  " << what << " frame " << frame.index << ": got "
                              << hex(frame.checksum) << ", kept " << hex(kept[frame.index]) << "\n";
            }
        }
    EXPECT_TRUE(differing.str().empty()) << "frames that differ from the kept checksums:\n"
                                         << differing.str();
}

TEST_F(DemoFrames, ConsecutiveFramesDifferAsTheListScrollsAndButtonsChange) {
    ASSERT_TRUE(module_.ok()) << module_.error();
    for (DisplayFormat format : kFormats)
        for (int blendMode : kBlendModes) {
            SessionRequest r = request(format, blendMode);
            r.resetInMiddle = false;
            const SessionResult result = renderSession(module_, r);
            ASSERT_TRUE(result.ok()) << result.error;
            for (std::size_t i = 1; i < result.frames.size(); ++i)
                EXPECT_NE(result.frames[i - 1].checksum, result.frames[i].checksum)
                    << describe(format, blendMode) << " frame " << i;
        }
}

// Textures rebuilt after a reset from their file, their kept file bytes and their kept pixels
// must draw exactly what they drew before.
TEST_F(DemoFrames, ADeviceResetLeavesEveryFrameAsWithoutIt) {
    ASSERT_TRUE(module_.ok()) << module_.error();
    for (DisplayFormat format : kFormats)
        for (int blendMode : kBlendModes) {
            SessionRequest withReset = request(format, blendMode);
            SessionRequest withoutReset = withReset;
            withoutReset.resetInMiddle = false;
            const SessionResult reset = renderSession(module_, withReset);
            const SessionResult plain = renderSession(module_, withoutReset);
            ASSERT_TRUE(reset.ok()) << reset.error;
            ASSERT_TRUE(plain.ok()) << plain.error;
            ASSERT_EQ(plain.frames.size(), reset.frames.size());
            EXPECT_TRUE(reset.frames[resetFrameIndex(kReferenceFrames)].firstAfterReset);
            for (std::size_t i = 0; i < plain.frames.size(); ++i)
                EXPECT_EQ(hex(plain.frames[i].checksum), hex(reset.frames[i].checksum))
                    << describe(format, blendMode) << " frame " << i;
        }
}

TEST_F(DemoFrames, ALoggingFolderReceivesTheModulesLog) {
    ASSERT_TRUE(module_.ok()) << module_.error();
    ScratchFolder logs("dd7r-demo-logs");
    std::string loggerDirectory;
    std::string error;
    ASSERT_TRUE(prepareLoggingDirectory(logs.utf8(), loggerDirectory, error)) << error;
    EXPECT_TRUE(fs::exists(logs.path() / "KelLogger.ini"));
    EXPECT_TRUE(fs::exists(logs.path() / "dll_logger.dll"));

    SessionRequest r = request(DisplayFormat::Rgb565, 0);
    r.frames = 1;  // the reset comes before the only frame
    r.loggerDirectory = loggerDirectory;
    const SessionResult result = renderSession(module_, r);
    ASSERT_TRUE(result.ok()) << result.error;

    std::ifstream log(logs.path() / "dd7r.log", std::ios::binary);
    ASSERT_TRUE(log.good()) << "no dd7r.log in " << logs.utf8();
    const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    EXPECT_NE(std::string::npos, text.find("[dd7r] START level 4")) << text;
    EXPECT_NE(std::string::npos, text.find("CDD7Render::postD3DReset (width 640.000000, height 480.000000)"))
        << text;
}

TEST_F(DemoFrames, AMissingSkinFileIsReportedWithTheRenderersText) {
    ASSERT_TRUE(module_.ok()) << module_.error();
    ScratchFolder emptySkin("dd7r-demo-empty-skin");
    SessionRequest r = request(DisplayFormat::Xrgb32, 2);
    r.skinDirectory = emptySkin.utf8();
    const SessionResult result = renderSession(module_, r);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(std::string::npos, result.error.find("CDD7Render::createTexture failed from file"))
        << result.error;
    EXPECT_TRUE(result.frames.empty());
}

}  // namespace
}  // namespace dd7rdemo
