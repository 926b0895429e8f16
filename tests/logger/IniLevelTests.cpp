// GetLogLevelFromIniFile: the level of a tag in KelLogger.ini, 0 whenever it cannot be read.

#include "LoggerLibrary.h"
#include "files/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace LoggerTests {
namespace {

using hostkit::TempDirectory;
using hostkit::CurrentDirectoryScope;
using hostkit::writeFile;

struct IniCase {
    const char* what;
    const char* iniText;
    int expectedLevel;
};

class IniLevelTest : public ::testing::Test {
protected:
    // Writes KelLogger.ini into the test directory and reads the tag's level from it.
    int levelFor(const std::string& iniText, const char* tag = "dd7r") {
        writeFile(directory.path() / kIniFileName, iniText);
        return readLevel(directory.utf8().c_str(), tag, kIniFileName);
    }

    void expectLevels(const std::vector<IniCase>& cases) {
        for (const IniCase& c : cases) {
            EXPECT_EQ(levelFor(c.iniText), c.expectedLevel)
                << c.what << "\n--- ini ---\n" << c.iniText;
        }
    }

    static int readLevel(const char* directoryText, const char* tag, const char* iniName) {
        return loggerLibrary().getLogLevelFromIniFile(directoryText, tag, iniName);
    }

    TempDirectory directory;
};

TEST_F(IniLevelTest, MissingFileMeansLoggingOff) {
    EXPECT_EQ(readLevel(directory.utf8().c_str(), "dd7r", kIniFileName), 0);
    const std::string missingDirectory = (directory.path() / "absent").u8string();
    EXPECT_EQ(readLevel(missingDirectory.c_str(), "dd7r", kIniFileName), 0);
}

TEST_F(IniLevelTest, ReadsTheLevelOfTheTagsOwnSection) {
    const std::string ini = "[other]\nLevel=7\n[dd7r]\nLevel=3\n[more]\nLevel=8\n";
    EXPECT_EQ(levelFor(ini, "dd7r"), 3);
    EXPECT_EQ(levelFor(ini, "other"), 7);
    EXPECT_EQ(levelFor(ini, "more"), 8);
    EXPECT_EQ(levelFor(ini, "dd7"), 0) << "a prefix of a section name is another tag";
}

TEST_F(IniLevelTest, ReadsTheFileNamedByTheCaller) {
    writeFile(directory.path() / kIniFileName, "[dd7r]\nLevel=2\n");
    writeFile(directory.path() / "Other.ini", "[dd7r]\nLevel=6\n");
    EXPECT_EQ(readLevel(directory.utf8().c_str(), "dd7r", "Other.ini"), 6);
    EXPECT_EQ(readLevel(directory.utf8().c_str(), "dd7r", kIniFileName), 2);
}

TEST_F(IniLevelTest, MissingSectionOrKeyMeansLoggingOff) {
    expectLevels({
        {"empty file", "", 0},
        {"only another tag", "[other]\nLevel=4\n", 0},
        {"key before any section", "Level=4\n[dd7r]\n", 0},
        {"another key", "[dd7r]\nVerbosity=4\n", 0},
        {"key without value separator", "[dd7r]\nLevel 4\n", 0},
        {"key in the next section", "[dd7r]\n[other]\nLevel=4\n", 0},
        {"unclosed section header", "[dd7r\nLevel=4\n", 0},
    });
}

TEST_F(IniLevelTest, ValuesThatAreNotNumbersMeanLoggingOff) {
    expectLevels({
        {"empty value", "[dd7r]\nLevel=\n", 0},
        {"blank value", "[dd7r]\nLevel=   \n", 0},
        {"word", "[dd7r]\nLevel=verbose\n", 0},
        {"trailing letters", "[dd7r]\nLevel=4x\n", 0},
        {"leading letters", "[dd7r]\nLevel=x4\n", 0},
        {"fraction", "[dd7r]\nLevel=4.5\n", 0},
        {"hexadecimal", "[dd7r]\nLevel=0x4\n", 0},
        {"sign alone", "[dd7r]\nLevel=-\n", 0},
        {"blank after sign", "[dd7r]\nLevel=+ 4\n", 0},
        {"two numbers", "[dd7r]\nLevel=4 5\n", 0},
    });
}

TEST_F(IniLevelTest, NumbersAreClampedToZeroToNine) {
    expectLevels({
        {"plain", "[dd7r]\nLevel=5\n", 5},
        {"explicit plus", "[dd7r]\nLevel=+5\n", 5},
        {"leading zeros", "[dd7r]\nLevel=007\n", 7},
        {"zero", "[dd7r]\nLevel=0\n", 0},
        {"nine", "[dd7r]\nLevel=9\n", 9},
        {"negative", "[dd7r]\nLevel=-3\n", 0},
        {"above the range", "[dd7r]\nLevel=12\n", 9},
        {"beyond any integer", "[dd7r]\nLevel=99999999999999999999999999\n", 9},
        {"far below", "[dd7r]\nLevel=-99999999999999999999999999\n", 0},
    });
}

TEST_F(IniLevelTest, CommentsAreIgnored) {
    expectLevels({
        {"comment lines around the key",
         "; settings\n# more\n[dd7r]\n; Level=9\n  # Level=8\nLevel=2\n", 2},
        {"commented-out section header", "; [dd7r]\nLevel=5\n", 0},
        {"commented-out key", "[dd7r]\n;Level=5\n", 0},
        {"semicolon comment after the value", "[dd7r]\nLevel=6 ; six\n", 6},
        {"hash comment after the value", "[dd7r]\nLevel = 6# six\n", 6},
    });
}

TEST_F(IniLevelTest, BlanksAroundNamesKeysAndValuesAreIgnored) {
    expectLevels({
        {"spaces and tabs", "  [ dd7r ]  \n\t Level \t=\t 5 \t\n", 5},
        {"blank lines", "\n\n[dd7r]\n\n   \nLevel=5\n\n", 5},
    });
}

TEST_F(IniLevelTest, SectionNamesAndKeysIgnoreCase) {
    expectLevels({
        {"upper-case section", "[DD7R]\nLevel=3\n", 3},
        {"lower-case key", "[dd7r]\nlevel=3\n", 3},
        {"upper-case key", "[Dd7R]\nLEVEL=3\n", 3},
    });
    EXPECT_EQ(levelFor("[dd7r]\nLevel=4\n", "DD7R"), 4) << "the tag is matched without case too";
}

TEST_F(IniLevelTest, AnyLineEndAndAByteOrderMarkAreAccepted) {
    expectLevels({
        {"CRLF", "[other]\r\nLevel=1\r\n[dd7r]\r\nLevel=6\r\n", 6},
        {"CR", "[other]\rLevel=1\r[dd7r]\rLevel=6\r", 6},
        {"no final line end", "[dd7r]\nLevel=6", 6},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF[dd7r]\r\nLevel=6\r\n", 6},
    });
}

TEST_F(IniLevelTest, TheFirstLevelKeyOfTheTagWins) {
    expectLevels({
        {"repeated key", "[dd7r]\nLevel=2\nLevel=7\n", 2},
        {"repeated section", "[dd7r]\nLevel=2\n[other]\nLevel=3\n[dd7r]\nLevel=9\n", 2},
        {"key in a repeated section",
         "[dd7r]\nOther=2\n[other]\nLevel=3\n[dd7r]\nLevel=9\n", 9},
        {"first key bad", "[dd7r]\nLevel=x\nLevel=7\n", 0},
    });
}

TEST_F(IniLevelTest, DirectoryWithOrWithoutTrailingSeparator) {
    writeFile(directory.path() / kIniFileName, "[dd7r]\nLevel=4\n");
    std::vector<std::string> spellings = {directory.utf8(), directory.utf8() + "/"};
#if defined(_WIN32)
    spellings.push_back(directory.utf8() + "\\");
#endif
    for (const std::string& spelling : spellings) {
        EXPECT_EQ(readLevel(spelling.c_str(), "dd7r", kIniFileName), 4) << spelling;
    }
}

TEST_F(IniLevelTest, NullOrEmptyDirectoryMeansTheCurrentDirectory) {
    writeFile(directory.path() / kIniFileName, "[dd7r]\nLevel=5\n");
    const CurrentDirectoryScope inside(directory.path());
    EXPECT_EQ(readLevel(nullptr, "dd7r", kIniFileName), 5);
    EXPECT_EQ(readLevel("", "dd7r", kIniFileName), 5);
}

TEST_F(IniLevelTest, DirectoryIsUtf8) {
    const TempDirectory unicode(u8"_Gr\u00FC\u00DFe_\u65E5\u672C");
    writeFile(unicode.path() / kIniFileName, "[dd7r]\nLevel=7\n");
    EXPECT_EQ(readLevel(unicode.utf8().c_str(), "dd7r", kIniFileName), 7);
}

TEST_F(IniLevelTest, MissingOrUnusableArgumentsMeanLoggingOff) {
    writeFile(directory.path() / kIniFileName, "[dd7r]\nLevel=4\n[]\nLevel=4\n");
    const std::string dir = directory.utf8();
    EXPECT_EQ(readLevel(dir.c_str(), nullptr, kIniFileName), 0);
    EXPECT_EQ(readLevel(dir.c_str(), "", kIniFileName), 0);
    EXPECT_EQ(readLevel(dir.c_str(), "dd7r", nullptr), 0);
    EXPECT_EQ(readLevel(dir.c_str(), "dd7r", ""), 0);
    std::filesystem::create_directory(directory.path() / "folder.ini");
    EXPECT_EQ(readLevel(dir.c_str(), "dd7r", "folder.ini"), 0) << "a directory is no file";
}

}  // namespace
}  // namespace LoggerTests
