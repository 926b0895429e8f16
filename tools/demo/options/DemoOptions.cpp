#include "options/DemoOptions.h"

#include <cstdint>
#include <functional>
#include <map>

namespace dd7rdemo {

namespace {

// A decimal number made of digits only (no sign, no blanks), at most `limit`.
bool parseUnsigned(const std::string& text, unsigned limit, unsigned& value) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<unsigned>(c - '0');
    }
    if (result > limit) return false;
    value = static_cast<unsigned>(result);
    return true;
}

std::string parseSize(const std::string& text, DemoOptions& options) {
    const std::string::size_type x = text.find_first_of("xX");
    unsigned width = 0;
    unsigned height = 0;
    if (x == std::string::npos || !parseUnsigned(text.substr(0, x), kMaxDimension, width) ||
        !parseUnsigned(text.substr(x + 1), kMaxDimension, height))
        return "--size expects WIDTHxHEIGHT, for example 640x480, got '" + text + "'";
    if (width < kMinWidth || height < kMinHeight)
        return "--size must be at least " + std::to_string(kMinWidth) + "x" +
               std::to_string(kMinHeight) + ", got '" + text + "'";
    options.width = width;
    options.height = height;
    return {};
}

std::string parseBlend(const std::string& text, DemoOptions& options) {
    if (text == "all") {
        options.blendModes = {0, 1, 2};
        return {};
    }
    unsigned mode = 0;
    if (!parseUnsigned(text, 2, mode)) return "--blend expects 0, 1, 2 or all, got '" + text + "'";
    options.blendModes = {static_cast<int>(mode)};
    return {};
}

std::string parseFormat(const std::string& text, DemoOptions& options) {
    if (text == "all")
        options.formats = {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb32};
    else if (text == "565")
        options.formats = {DisplayFormat::Rgb565};
    else if (text == "555")
        options.formats = {DisplayFormat::Rgb555};
    else if (text == "32")
        options.formats = {DisplayFormat::Xrgb32};
    else
        return "--format expects 565, 555, 32 or all, got '" + text + "'";
    return {};
}

std::string parseFrames(const std::string& text, DemoOptions& options) {
    unsigned frames = 0;
    if (!parseUnsigned(text, kMaxFrames, frames) || frames == 0)
        return "--frames expects a number from 1 to " + std::to_string(kMaxFrames) + ", got '" +
               text + "'";
    options.frames = frames;
    return {};
}

std::string parseDirectory(const char* name, const std::string& text, std::string& target) {
    if (text.empty()) return std::string(name) + " expects a directory";
    target = text;
    return {};
}

using ValueParser = std::function<std::string(const std::string&, DemoOptions&)>;

const std::map<std::string, ValueParser>& valueOptions() {
    static const std::map<std::string, ValueParser> parsers{
        {"--out",
         [](const std::string& v, DemoOptions& o) {
             return parseDirectory("--out", v, o.outputDirectory);
         }},
        {"--log-dir",
         [](const std::string& v, DemoOptions& o) {
             return parseDirectory("--log-dir", v, o.logDirectory);
         }},
        {"--capture",
         [](const std::string& v, DemoOptions& o) {
             if (v.empty()) return std::string("--capture expects a file name");
             o.captureFile = v;
             return std::string();
         }},
        {"--size", parseSize},
        {"--blend", parseBlend},
        {"--format", parseFormat},
        {"--frames", parseFrames},
    };
    return parsers;
}

}  // namespace

ParsedOptions parseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "--help" || argument == "-h") {
            parsed.options.helpRequested = true;
            continue;
        }
        if (argument == "--window") {
            parsed.options.showWindow = true;
            continue;
        }
        const std::string::size_type equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto parser = valueOptions().find(name);
        if (parser == valueOptions().end()) {
            parsed.error = "unknown option '" + argument + "' (see --help)";
            return parsed;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc && argv[i + 1] != nullptr) {
            value = argv[++i];
        } else {
            parsed.error = name + " needs a value (see --help)";
            return parsed;
        }
        parsed.error = parser->second(value, parsed.options);
        if (!parsed.ok()) return parsed;
    }
    return parsed;
}

std::string usageText(const std::string& programName) {
    return "Usage: " + programName +
           " [options]\n"
           "Draws an overlay user interface through the dd7r renderer module in every chosen\n"
           "blend mode and display format, resets the device half-way, and writes every frame\n"
           "and a contact sheet as PNG files.\n"
           "\n"
           "Options:\n"
           "  --help               show this text and exit\n"
           "  --out DIR            output folder (default: dd7r-demo-output)\n"
           "  --size WxH           display size, at least 320x240 (default: 640x480)\n"
           "  --blend 0|1|2|all    blend mode: 0 copy, 1 half blend, 2 alpha blend (default: all)\n"
           "  --format 565|555|32|all\n"
           "                       display pixel format (default: all)\n"
           "  --frames N           frames per mode and format, 1 to 1000 (default: 4)\n"
           "  --log-dir DIR        enable the logging library: writes KelLogger.ini (level 4)\n"
           "                       and places dll_logger.dll there; the module logs to\n"
           "                       DIR/dd7r.log\n"
           "  --capture FILE       record every call the module receives into FILE (sets\n"
           "                       DD7R_CAPTURE before loading the module); replay it with\n"
           "                       dd7r-replay FILE\n"
           "  --window             Windows build with a display (e.g. Xvfb): also show every\n"
           "                       frame in a window through a DirectDraw primary surface with\n"
           "                       a clipper, and save a screenshot of the window per mode\n";
}

}  // namespace dd7rdemo
