// dd7r-replay: replays a capture of a host's calls against the renderer module. See --help.

#include <cstdio>

#include "app/ReplayApp.h"
#include "app/ReplayOptions.h"

int main(int argc, char** argv) {
    const dd7rreplay::ParsedReplayOptions parsed = dd7rreplay::parseReplayOptions(argc, argv);
    if (!parsed.ok()) {
        std::fprintf(stderr, "dd7r-replay: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.helpRequested) {
        std::fputs(dd7rreplay::replayUsageText().c_str(), stdout);
        return 0;
    }
    return dd7rreplay::runReplay(parsed.options);
}
