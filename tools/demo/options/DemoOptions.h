#pragma once
// The demo's command line: what to render (display formats, blend modes, size, frames) and
// where to put the pictures and the log. Parsing never exits or prints: the caller decides.

#include <string>
#include <vector>

#include "system/DisplayFormat.h"

namespace dd7rdemo {

struct DemoOptions {
    std::string outputDirectory = "dd7r-demo-output";
    unsigned width = 640;
    unsigned height = 480;
    std::vector<int> blendModes{0, 1, 2};
    std::vector<DisplayFormat> formats{DisplayFormat::Rgb565, DisplayFormat::Rgb555,
                                       DisplayFormat::Xrgb32};
    unsigned frames = 4;
    std::string logDirectory;  // empty: the logging library stays off
    std::string captureFile;   // empty: no capture; else DD7R_CAPTURE for the module
    bool showWindow = false;   // also present in a window (Windows build, needs a display)
    bool helpRequested = false;
};

// Limits that keep the UI layout on screen and the output reasonable.
constexpr unsigned kMinWidth = 320;
constexpr unsigned kMinHeight = 240;
constexpr unsigned kMaxDimension = 4096;
constexpr unsigned kMaxFrames = 1000;

struct ParsedOptions {
    DemoOptions options;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// argv[0] is the program name and is skipped. Options may be given as "--name value" or
// "--name=value"; a later occurrence overrides an earlier one.
ParsedOptions parseOptions(int argc, const char* const* argv);

std::string usageText(const std::string& programName);

}  // namespace dd7rdemo
