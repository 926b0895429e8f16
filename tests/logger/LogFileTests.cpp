// The lines a logger and unRecoveryError append: where they go, what they look like, which
// ones are kept, and that an unusable place costs nothing but the lines.

#include "LoggerLibrary.h"
#include "files/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

namespace LoggerTests {
namespace {

using hostkit::TempDirectory;
using hostkit::CurrentDirectoryScope;
using hostkit::writeFile;
using hostkit::readFile;
using hostkit::readLines;
using hostkit::filesBelow;

constexpr std::uint32_t kHostValueA = 0x11;
constexpr std::uint32_t kHostValueB = 0xCAFE0022;
constexpr char kTimestamp[] = R"((\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})\.(\d{3}))";

constexpr std::size_t kTimestampLength = 23;  // "YYYY-MM-DD hh:mm:ss.mmm"

// The timestamp's fields, or nothing when the line does not start with one and a blank.
// (Only the fixed-size head goes through the regex: lines can be a megabyte long.)
bool readTimestamp(const std::string& line, std::smatch& fields, std::string& head) {
    static const std::regex shape(std::string("^") + kTimestamp + " $");
    head = line.substr(0, kTimestampLength + 1);
    return std::regex_match(head, fields, shape);
}

// Everything after the timestamp: "[tag] KIND message".
std::string afterTimestamp(const std::string& line) {
    std::smatch fields;
    std::string head;
    if (!readTimestamp(line, fields, head)) return "<no timestamp in: " + line + ">";
    return line.substr(kTimestampLength + 1);
}

std::vector<std::string> withoutTimestamps(const std::vector<std::string>& lines) {
    std::vector<std::string> rest;
    for (const std::string& line : lines) rest.push_back(afterTimestamp(line));
    return rest;
}

// The moment a timestamp names, read as local time; -1 without a timestamp.
std::time_t timestampTime(const std::string& line) {
    std::smatch match;
    std::string head;
    if (!readTimestamp(line, match, head)) return -1;
    std::tm fields{};
    fields.tm_year = std::stoi(match[1]) - 1900;
    fields.tm_mon = std::stoi(match[2]) - 1;
    fields.tm_mday = std::stoi(match[3]);
    fields.tm_hour = std::stoi(match[4]);
    fields.tm_min = std::stoi(match[5]);
    fields.tm_sec = std::stoi(match[6]);
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

const std::string kStartLine = "[dd7r] START level 4, host values 0x00000011 0xCAFE0022";

class LogFileTest : public ::testing::Test {
protected:
    // The module's sequence: ask for the level in a directory, then create the logger.
    static LoggerPtr createLogger(const std::string& directoryText, int level,
                                  const char* tag = "dd7r") {
        loggerLibrary().getLogLevelFromIniFile(directoryText.c_str(), tag, kIniFileName);
        return LoggerPtr(loggerLibrary().createOrvLogger(kHostValueA, kHostValueB, tag, level));
    }

    LoggerPtr createLogger(int level) { return createLogger(directory.utf8(), level); }

    std::vector<std::string> logLines() const { return readLines(directory.path() / "dd7r.log"); }

    TempDirectory directory;
};

TEST_F(LogFileTest, LinesCarryTimestampTagKindAndFormattedMessage) {
    const std::time_t before = std::time(nullptr);
    LoggerPtr logger = createLogger(4);
    ASSERT_NE(logger, nullptr);
    logger->log(1, "count %d name %s value %f", 42, "abc", 1.5);
    logger->log(4, "negative %d, percent 100%%, padded [%5s] [%-3d]", -2005532222, "ab", 7);
    logger = nullptr;
    const std::time_t after = std::time(nullptr);

    const std::vector<std::string> lines = logLines();
    EXPECT_EQ(withoutTimestamps(lines),
              (std::vector<std::string>{
                  kStartLine,
                  "[dd7r] L1 count 42 name abc value 1.500000",
                  "[dd7r] L4 negative -2005532222, percent 100%, padded [   ab] [7  ]",
              }));
    for (const std::string& line : lines) {
        const std::time_t written = timestampTime(line);
        EXPECT_GE(written, before - 1) << line;
        EXPECT_LE(written, after + 1) << line;
    }
}

TEST_F(LogFileTest, EveryLineEndsWithThePlatformLineEnd) {
    LoggerPtr logger = createLogger(4);
    logger->log(1, "one");
    logger->reportFatal("two", 1);
    logger = nullptr;
    const std::string text = readFile(directory.path() / "dd7r.log");
#if defined(_WIN32)
    const std::string lineEnd = "\r\n";
#else
    const std::string lineEnd = "\n";
#endif
    std::size_t lineEnds = 0;
    for (std::size_t at = text.find(lineEnd); at != std::string::npos;
         at = text.find(lineEnd, at + lineEnd.size()))
        ++lineEnds;
    EXPECT_EQ(lineEnds, 3u) << text;
    EXPECT_EQ(text.size() >= lineEnd.size() ? text.substr(text.size() - lineEnd.size()) : text,
              lineEnd);
}

TEST_F(LogFileTest, KeepsOnlyLinesAtOrBelowTheConfiguredLevel) {
    LoggerPtr logger = createLogger(4);
    for (const int level : {1, 5, 4, 9, 3, 10}) logger->log(level, "at %d", level);
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 at 1", "[dd7r] L4 at 4",
                                        "[dd7r] L3 at 3"}));
}

TEST_F(LogFileTest, LevelIsClampedToNine) {
    LoggerPtr logger = createLogger(directory.utf8(), 50);
    logger->log(9, "nine");
    logger->log(10, "ten");
    logger = nullptr;
    const std::vector<std::string> lines = withoutTimestamps(logLines());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[dd7r] START level 9, host values 0x00000011 0xCAFE0022");
    EXPECT_EQ(lines[1], "[dd7r] L9 nine");
}

TEST_F(LogFileTest, ReportFatalIsWrittenWhateverTheLevel) {
    LoggerPtr logger = createLogger(1);
    logger->reportFatal("CDD7Render can't get the IDirectDraw7 device.", 1);
    logger->reportFatal("100% literal, no %s formatting", 1);
    logger->reportFatal(nullptr, 1);
    logger->reservedLoggerSlot();
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{
                  "[dd7r] START level 1, host values 0x00000011 0xCAFE0022",
                  "[dd7r] FATAL CDD7Render can't get the IDirectDraw7 device.",
                  "[dd7r] FATAL 100% literal, no %s formatting",
                  "[dd7r] FATAL ",
              }));
}

TEST_F(LogFileTest, LinesAreOnDiskBeforeTheLoggerGoesAway) {
    LoggerPtr logger = createLogger(4);
    logger->log(1, "first");
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 first"}));
    logger->reportFatal("second", 1);
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 first", "[dd7r] FATAL second"}));
}

TEST_F(LogFileTest, LineBreaksInsideAMessageKeepTheEntryOnOneLine) {
    LoggerPtr logger = createLogger(4);
    logger->log(1, "two\nlines\r\nand %s\n", "more\r\n");
    logger->reportFatal("fatal\ntoo\n", 1);
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 two lines  and more",
                                        "[dd7r] FATAL fatal too"}));
}

TEST_F(LogFileTest, LongMessagesAreWrittenWhole) {
    const std::string longText(100000, 'x');
    LoggerPtr logger = createLogger(4);
    logger->log(1, "<%s|%d|%f>", longText.c_str(), 123, 0.25);
    logger->reportFatal(longText.c_str(), 1);
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine,
                                        "[dd7r] L1 <" + longText + "|123|0.250000>",
                                        "[dd7r] FATAL " + longText}));
}

TEST_F(LogFileTest, HugeMessagesAreCutAtOneMebibyteAndMarked) {
    const std::size_t limit = 1 << 20;
    const std::string hugeText(limit + 100, 'y');
    LoggerPtr logger = createLogger(4);
    logger->log(1, "%s", hugeText.c_str());
    logger = nullptr;
    const std::vector<std::string> lines = withoutTimestamps(logLines());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1] == "[dd7r] L1 " + std::string(limit, 'y') + " [truncated]")
        << "line of " << lines[1].size() << " characters";
}

TEST_F(LogFileTest, LoggersAppendToTheTagsFile) {
    createLogger(4)->log(1, "first session");
    createLogger(4)->log(1, "second session");
    LoggerPtr other = createLogger(directory.utf8(), 4, "other");
    other->log(1, "other tag");
    other = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 first session", kStartLine,
                                        "[dd7r] L1 second session"}));
    EXPECT_EQ(withoutTimestamps(readLines(directory.path() / "other.log")),
              (std::vector<std::string>{
                  "[other] START level 4, host values 0x00000011 0xCAFE0022",
                  "[other] L1 other tag"}));
}

TEST_F(LogFileTest, WritesWhereTheLastLevelLookupPointed) {
    const TempDirectory first;
    loggerLibrary().getLogLevelFromIniFile(first.utf8().c_str(), "dd7r", kIniFileName);
    loggerLibrary().getLogLevelFromIniFile((directory.utf8() + "/").c_str(), "dd7r",
                                           kIniFileName);
    LoggerPtr logger(loggerLibrary().createOrvLogger(kHostValueA, kHostValueB, "dd7r", 4));
    logger->log(1, "here");
    logger = nullptr;
    EXPECT_EQ(filesBelow(first.path()), std::vector<std::string>{});
    EXPECT_EQ(filesBelow(directory.path()), std::vector<std::string>{"dd7r.log"});
}

TEST_F(LogFileTest, NullDirectoryWritesInTheCurrentDirectory) {
    const CurrentDirectoryScope inside(directory.path());
    loggerLibrary().getLogLevelFromIniFile(nullptr, "dd7r", kIniFileName);
    LoggerPtr logger(loggerLibrary().createOrvLogger(kHostValueA, kHostValueB, "dd7r", 4));
    logger->log(1, "here");
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(logLines()),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 here"}));
}

TEST_F(LogFileTest, Utf8DirectoryIsUsedAsIs) {
    const TempDirectory unicode(u8"_\u00E9t\u00E9_\u65E5\u672C");
    LoggerPtr logger = createLogger(unicode.utf8(), 4);
    logger->log(1, "unicode");
    logger = nullptr;
    EXPECT_EQ(withoutTimestamps(readLines(unicode.path() / "dd7r.log")),
              (std::vector<std::string>{kStartLine, "[dd7r] L1 unicode"}));
}

TEST_F(LogFileTest, TagCannotLeadOutsideTheDirectory) {
    const TempDirectory inner;
    LoggerPtr logger = createLogger(inner.utf8(), 4, "../escape/x y");
    logger->log(1, "kept inside");
    logger = nullptr;
    EXPECT_EQ(filesBelow(inner.path()), std::vector<std::string>{".._escape_x_y.log"});
    EXPECT_FALSE(std::filesystem::exists(inner.path().parent_path() / "escape"));
}

TEST_F(LogFileTest, UnwritablePlaceWritesNothingAndFailsNothing) {
    const std::filesystem::path blocker = directory.path() / "a_file";
    writeFile(blocker, "not a directory");
    const std::vector<std::string> unwritable = {
        (directory.path() / "missing" / "deeper").u8string(),
        blocker.u8string(),
    };
    for (const std::string& place : unwritable) {
        LoggerPtr logger = createLogger(place, 9);
        ASSERT_NE(logger, nullptr) << place;
        logger->log(1, "lost %d %s", 1, "line");
        logger->reportFatal("lost fatal", 1);
        logger->reservedLoggerSlot();
        EXPECT_EQ(loggerLibrary().unRecoveryError("lost error"), -1) << place;
    }
    EXPECT_EQ(filesBelow(directory.path()), std::vector<std::string>{"a_file"});
    EXPECT_EQ(readFile(blocker), "not a directory");
}

TEST_F(LogFileTest, LevelZeroOrBelowMakesALoggerThatWritesNothing) {
    for (const int level : {0, -1}) {
        LoggerPtr logger = createLogger(level);
        ASSERT_NE(logger, nullptr);
        logger->log(0, "level zero");
        logger->log(-5, "below zero");
        logger->reportFatal("fatal", 1);
    }
    EXPECT_EQ(filesBelow(directory.path()), std::vector<std::string>{});
}

TEST_F(LogFileTest, NullFormatOrTagAreHarmless) {
    LoggerPtr untagged = createLogger(directory.utf8(), 4, nullptr);
    ASSERT_NE(untagged, nullptr);
    untagged->log(1, nullptr);
    untagged->log(1, "untagged");
    untagged = nullptr;
    EXPECT_EQ(withoutTimestamps(readLines(directory.path() / "dll_logger.log")),
              (std::vector<std::string>{"[] START level 4, host values 0x00000011 0xCAFE0022",
                                        "[] L1 untagged"}));
}

TEST_F(LogFileTest, UnrecoverableErrorsGoToTheErrorFileBesideTheLogs) {
    loggerLibrary().getLogLevelFromIniFile(directory.utf8().c_str(), "dd7r", kIniFileName);
    EXPECT_EQ(loggerLibrary().unRecoveryError("CDD7Render -- creation failed (no device)"), 0);
    EXPECT_EQ(loggerLibrary().unRecoveryError(nullptr), 0);
    EXPECT_EQ(withoutTimestamps(readLines(directory.path() / "dll_logger_errors.log")),
              (std::vector<std::string>{
                  "[dll_logger] UNRECOVERABLE CDD7Render -- creation failed (no device)",
                  "[dll_logger] UNRECOVERABLE ",
              }));
}

}  // namespace
}  // namespace LoggerTests
