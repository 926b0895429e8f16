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
