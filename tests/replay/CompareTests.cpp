// --compare pairs frames by their number, limited to the frames the replay wrote, and refuses
// folders it cannot use instead of calling them identical.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "compare/FrameFolders.h"
#include "image/ImageFiles.h"

namespace {

namespace fs = std::filesystem;
using dd7rreplay::CompareResult;

// A folder of 2x2 frames: each number with one shade (frames of equal shade are equal).
void writeFrames(const fs::path& folder, const std::vector<std::pair<unsigned, unsigned>>& frames) {
    fs::create_directories(folder);
    for (const auto& frame : frames) {
        dd7rdemo::Image image(2, 2, 3);
        image.fillRect(0, 0, 2, 2, dd7rdemo::Colour{static_cast<std::uint8_t>(frame.second), 0, 0, 255});
        char name[32];
        std::snprintf(name, sizeof(name), "frame-%04u.png", frame.first);
        ASSERT_TRUE(dd7rdemo::writePng((folder / name).u8string(), image));
    }
}

struct Case {
    const char* name;
    std::vector<std::pair<unsigned, unsigned>> mine;  // frame number, shade
    std::vector<std::pair<unsigned, unsigned>> other;
    unsigned first;
    unsigned last;
    CompareResult expected;
    const char* says;
};

TEST(CompareFrameFolders, FramesArePairedByNumberWithinTheReplayedRange) {
    const std::vector<Case> cases = {
        {"a range against a full replay", {{10, 7}, {11, 8}}, {{0, 1}, {10, 7}, {11, 8}, {12, 9}}, 10, 11,
         CompareResult::Same, "all 2 frames (10 to 11) are identical"},
        {"a range that differs in its second frame", {{10, 7}, {11, 8}}, {{10, 7}, {11, 3}}, 10, 11,
         CompareResult::Different, "frame 11 differs first at pixel (0, 0)"},
        {"a frame of the range missing from the other", {{4, 1}, {5, 1}}, {{4, 1}}, 4, 5,
         CompareResult::Different, "frame 5 is only in"},
        {"no frame of the range in the other", {{4, 1}}, {{0, 1}}, 4, 4, CompareResult::Unusable,
         "holds no frame numbered 4 to 4"},
    };
    const fs::path root = fs::temp_directory_path() / "dd7r-compare-tests";
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        fs::remove_all(root);
        writeFrames(root / "mine", test.mine);
        writeFrames(root / "other", test.other);
        const std::string report = (root / "report.txt").u8string();
        std::FILE* out = std::fopen(report.c_str(), "w+");
        ASSERT_NE(nullptr, out);
        EXPECT_EQ(test.expected, dd7rreplay::compareFrameFolders((root / "mine").u8string(), (root / "other").u8string(),
                                                                 test.first, test.last, out, out));
        std::rewind(out);
        char text[512] = {};
        const std::size_t length = std::fread(text, 1, sizeof(text) - 1, out);
        std::fclose(out);
        EXPECT_NE(std::string::npos, std::string(text, length).find(test.says)) << text;
    }
    EXPECT_EQ(CompareResult::Unusable, dd7rreplay::compareFrameFolders((root / "mine").u8string(),
                                                                       (root / "absent").u8string(), 0, 9, stdout,
                                                                       stdout));
    fs::remove_all(root);
}

}  // namespace
