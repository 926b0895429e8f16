#pragma once
// dd7r-replay's command line. Parsing never exits or prints: the caller decides.

#include <string>

namespace dd7rreplay {

struct ReplayOptions {
    std::string capturePath;
    std::string outputDirectory = "dd7r-replay-output";
    unsigned firstFrame = 0;
    unsigned lastFrame = 0xFFFFFFFFu;
    std::string compareDirectory;  // empty: no comparison
    std::string inspectDirectory;  // empty: no inspection report
    bool pixelHistory = false;     // print the history of one pixel of one frame
    unsigned historyFrame = 0;
    unsigned historyX = 0;
    unsigned historyY = 0;
    bool listEvents = false;       // with the history, the frame's events too
    bool statsOnly = false;
    bool helpRequested = false;
};

struct ParsedReplayOptions {
    ReplayOptions options;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

ParsedReplayOptions parseReplayOptions(int argc, const char* const* argv);
std::string replayUsageText();

}  // namespace dd7rreplay
