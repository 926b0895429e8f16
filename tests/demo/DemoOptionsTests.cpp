#include "options/DemoOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dd7rdemo {
namespace {

ParsedOptions parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "dd7r-demo");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    return parseOptions(static_cast<int>(argv.size()), argv.data());
}

const std::vector<DisplayFormat> kAllFormats{DisplayFormat::Rgb565, DisplayFormat::Rgb555,
                                             DisplayFormat::Xrgb32};

TEST(DemoOptions, WithoutArgumentsRendersEveryModeAndFormatAt640x480) {
    const ParsedOptions parsed = parse({});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ("dd7r-demo-output", parsed.options.outputDirectory);
    EXPECT_EQ(640u, parsed.options.width);
    EXPECT_EQ(480u, parsed.options.height);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), parsed.options.blendModes);
    EXPECT_EQ(kAllFormats, parsed.options.formats);
    EXPECT_EQ(4u, parsed.options.frames);
    EXPECT_TRUE(parsed.options.logDirectory.empty());
    EXPECT_FALSE(parsed.options.showWindow);
    EXPECT_FALSE(parsed.options.helpRequested);
}

TEST(DemoOptions, ValuesAreTakenFromTheNextArgumentOrAfterAnEqualsSign) {
    for (const auto& arguments :
         {std::vector<std::string>{"--out", "pics", "--size", "800x600", "--blend", "1",
                                   "--format", "555", "--frames", "12", "--log-dir", "logs",
                                   "--capture", "calls.bin"},
          std::vector<std::string>{"--out=pics", "--size=800x600", "--blend=1", "--format=555",
                                   "--frames=12", "--log-dir=logs", "--capture=calls.bin"}}) {
        const ParsedOptions parsed = parse(arguments);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ("pics", parsed.options.outputDirectory);
        EXPECT_EQ(800u, parsed.options.width);
        EXPECT_EQ(600u, parsed.options.height);
        EXPECT_EQ(std::vector<int>{1}, parsed.options.blendModes);
        EXPECT_EQ(std::vector<DisplayFormat>{DisplayFormat::Rgb555}, parsed.options.formats);
        EXPECT_EQ(12u, parsed.options.frames);
        EXPECT_EQ("logs", parsed.options.logDirectory);
        EXPECT_EQ("calls.bin", parsed.options.captureFile);
    }
}

TEST(DemoOptions, BlendAndFormatAcceptEachValueAndAll) {
    for (int mode : {0, 1, 2}) {
        const ParsedOptions parsed = parse({"--blend", std::to_string(mode)});
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(std::vector<int>{mode}, parsed.options.blendModes);
    }
    const ParsedOptions allModes = parse({"--blend", "2", "--blend", "all"});
    ASSERT_TRUE(allModes.ok()) << allModes.error;
    EXPECT_EQ((std::vector<int>{0, 1, 2}), allModes.options.blendModes);

    for (DisplayFormat format : kAllFormats) {
        const ParsedOptions parsed = parse({"--format", displayFormatName(format)});
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(std::vector<DisplayFormat>{format}, parsed.options.formats);
    }
    const ParsedOptions allFormats = parse({"--format", "32", "--format=all"});
    ASSERT_TRUE(allFormats.ok()) << allFormats.error;
    EXPECT_EQ(kAllFormats, allFormats.options.formats);
}

TEST(DemoOptions, SizesAndFrameCountsAtTheirLimitsAreAccepted) {
    const ParsedOptions smallest = parse({"--size", "320x240", "--frames", "1"});
    ASSERT_TRUE(smallest.ok()) << smallest.error;
    EXPECT_EQ(320u, smallest.options.width);
    EXPECT_EQ(240u, smallest.options.height);
    EXPECT_EQ(1u, smallest.options.frames);

    const ParsedOptions largest = parse({"--size", "4096X4096", "--frames", "1000"});
    ASSERT_TRUE(largest.ok()) << largest.error;
    EXPECT_EQ(4096u, largest.options.width);
    EXPECT_EQ(4096u, largest.options.height);
    EXPECT_EQ(1000u, largest.options.frames);
}

TEST(DemoOptions, MalformedOrOutOfRangeValuesAreRefusedWithTheOptionNamed) {
    const std::vector<std::vector<std::string>> refused{
        {"--size", "640"},       {"--size", "x480"},       {"--size", "640x"},
        {"--size", "-640x480"},  {"--size", "640x480x2"},  {"--size", "319x240"},
        {"--size", "320x239"},   {"--size", "4097x480"},   {"--size", "99999999999x480"},
        {"--size", " 640x480"},  {"--frames", "0"},        {"--frames", "1001"},
        {"--frames", "ten"},     {"--frames", "+5"},       {"--frames", "4294967296"},
        {"--blend", "3"},        {"--blend", "-1"},        {"--blend", ""},
        {"--format", "24"},      {"--format", "565 "},     {"--out="},
        {"--log-dir", ""},
    };
    for (const auto& arguments : refused) {
        const ParsedOptions parsed = parse(arguments);
        EXPECT_FALSE(parsed.ok()) << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
        const std::string name = arguments[0].substr(0, arguments[0].find('='));
        EXPECT_NE(std::string::npos, parsed.error.find(name)) << parsed.error;
    }
}

TEST(DemoOptions, UnknownOptionsAndMissingValuesAreRefused) {
    const ParsedOptions unknown = parse({"--frames", "2", "--colour", "red"});
    EXPECT_FALSE(unknown.ok());
    EXPECT_NE(std::string::npos, unknown.error.find("--colour"));

    const ParsedOptions stray = parse({"output"});
    EXPECT_FALSE(stray.ok());
    EXPECT_NE(std::string::npos, stray.error.find("output"));

    for (const char* name : {"--out", "--size", "--blend", "--format", "--frames", "--log-dir"}) {
        const ParsedOptions parsed = parse({name});
        EXPECT_FALSE(parsed.ok()) << name;
        EXPECT_NE(std::string::npos, parsed.error.find("needs a value")) << parsed.error;
    }
}

TEST(DemoOptions, FlagsTakeNoValue) {
    const ParsedOptions parsed = parse({"--window", "--frames", "2", "--help"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_TRUE(parsed.options.showWindow);
    EXPECT_TRUE(parsed.options.helpRequested);
    EXPECT_EQ(2u, parsed.options.frames);
    EXPECT_TRUE(parse({"-h"}).options.helpRequested);
    EXPECT_FALSE(parse({"--window=yes"}).ok());
}

TEST(DemoOptions, TheUsageNamesEveryOption) {
    const std::string usage = usageText("dd7r-demo");
    for (const char* name :
         {"--help", "--out", "--size", "--blend", "--format", "--frames", "--log-dir", "--window"})
        EXPECT_NE(std::string::npos, usage.find(name)) << name;
}

TEST(DemoOptions, ALaterOccurrenceOverridesAnEarlierOne) {
    const ParsedOptions parsed = parse({"--frames", "2", "--out", "a", "--frames=9", "--out", "b"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ(9u, parsed.options.frames);
    EXPECT_EQ("b", parsed.options.outputDirectory);
}

}  // namespace
}  // namespace dd7rdemo
