#include "app/ReplayOptions.h"

#include <cstdint>

namespace dd7rreplay {

namespace {

bool parseNumber(const std::string& text, unsigned& value) {
    if (text.empty() || text.size() > 9) return false;
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<unsigned>(c - '0');
    }
    value = static_cast<unsigned>(result);
    return true;
}

// "N" (that frame alone), "A-B", "A-" (from A on).
std::string parseFrameRange(const std::string& text, ReplayOptions& options) {
    const std::string::size_type dash = text.find('-');
    const std::string error = "--frames expects N, A-B or A-, got '" + text + "'";
    unsigned first = 0;
    if (!parseNumber(text.substr(0, dash), first)) return error;
    unsigned last = first;
    if (dash != std::string::npos) {
        const std::string tail = text.substr(dash + 1);
        if (tail.empty())
            last = 0xFFFFFFFFu;
        else if (!parseNumber(tail, last) || last < first)
            return error;
    }
    options.firstFrame = first;
    options.lastFrame = last;
    return {};
}

}  // namespace

ParsedReplayOptions parseReplayOptions(int argc, const char* const* argv) {
    ParsedReplayOptions parsed;
    ReplayOptions& options = parsed.options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "--help" || argument == "-h") {
            options.helpRequested = true;
            continue;
        }
        if (argument == "--stats") {
            options.statsOnly = true;
            continue;
        }
        if (argument == "--events") {
            options.listEvents = true;
            continue;
        }
        if (argument == "--pixel-history") {
            unsigned values[3] = {0, 0, 0};
            for (unsigned& value : values) {
                if (i + 1 >= argc || argv[i + 1] == nullptr || !parseNumber(argv[i + 1], value)) {
                    parsed.error = "--pixel-history expects FRAME X Y (three numbers)";
                    return parsed;
                }
                ++i;
            }
            options.pixelHistory = true;
            options.historyFrame = values[0];
            options.historyX = values[1];
            options.historyY = values[2];
            continue;
        }
        if (argument == "--out" || argument == "--frames" || argument == "--compare" || argument == "--inspect") {
            if (i + 1 >= argc || argv[i + 1] == nullptr || argv[i + 1][0] == '\0') {
                parsed.error = argument + " needs a value (see --help)";
                return parsed;
            }
            const std::string value = argv[++i];
            if (argument == "--out") options.outputDirectory = value;
            if (argument == "--compare") options.compareDirectory = value;
            if (argument == "--inspect") options.inspectDirectory = value;
            if (argument == "--frames") parsed.error = parseFrameRange(value, options);
            if (!parsed.ok()) return parsed;
            continue;
        }
        if (!argument.empty() && argument[0] == '-') {
            parsed.error = "unknown option '" + argument + "' (see --help)";
            return parsed;
        }
        if (!options.capturePath.empty()) {
            parsed.error = "only one capture file, got '" + options.capturePath + "' and '" + argument + "'";
            return parsed;
        }
        options.capturePath = argument;
    }
    if (options.capturePath.empty() && !options.helpRequested) parsed.error = "no capture file given (see --help)";
    if (options.listEvents && !options.pixelHistory && parsed.ok()) parsed.error = "--events goes with --pixel-history";
    return parsed;
}

std::string replayUsageText() {
    return "Usage: dd7r-replay FILE [options]\n"
           "Replays a capture made with DD7R_CAPTURE=FILE against the renderer module beside this\n"
           "program, and writes every presented frame as PNG, a contact sheet and a summary.\n"
           "\n"
           "Options:\n"
           "  --help             show this text and exit\n"
           "  --out DIR          output folder (default: dd7r-replay-output)\n"
           "  --frames N|A-B|A-  write only these frames (numbered from 0); stops after the last\n"
           "  --compare DIR      after the replay, compare its frames with those of the same\n"
           "                     numbers in DIR (another replay's output): the first frame and\n"
           "                     pixel where they differ\n"
           "  --stats            do not replay: count the calls of each kind, the texture bytes\n"
           "                     and the sizes in the capture\n"
           "  --inspect DIR      write an inspection report: DIR/index.html, opened from disk in\n"
           "                     a browser (frames, the path of every quad, pixel histories); at\n"
           "                     most 1000 frames, chosen with --frames (on Windows, of the module\n"
           "                     built into this program)\n"
           "  --pixel-history FRAME X Y\n"
           "                     print every event of the frame that wrote pixel (X, Y), with\n"
           "                     its value before and after\n"
           "  --events           with --pixel-history: list all the frame's events first\n";
}

}  // namespace dd7rreplay
