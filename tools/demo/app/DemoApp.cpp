#include "app/DemoApp.h"

#include "app/LoggingSetup.h"
#include "host/RendererModule.h"
#include "image/ContactSheet.h"
#include "image/ImageFiles.h"
#include "run/RenderSession.h"
#include "skin/SkinFiles.h"
#include "system/HostPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace dd7rdemo {

namespace fs = std::filesystem;

namespace {

constexpr unsigned kMaxSheetColumns = 8;
constexpr unsigned kThumbnailTargetWidth = 320;

std::string hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

// Which frames appear on the contact sheet: all of them, or evenly chosen ones.
bool onSheet(unsigned index, unsigned frames) {
    if (frames <= kMaxSheetColumns) return true;
    for (unsigned column = 0; column < kMaxSheetColumns; ++column)
        if (index == column * (frames - 1) / (kMaxSheetColumns - 1)) return true;
    return false;
}

struct RunContext {
    const DemoOptions& options;
    const RendererModule& module;
    fs::path outputDirectory;
    std::string skinDirectory;
    std::string loggerDirectory;
    std::vector<std::vector<SheetCell>> sheetRows;
    unsigned thumbnailFactor = 1;
    bool failed = false;
};

// One format and blend mode of the run, and what it has produced so far.
struct Combination {
    DisplayFormat format;
    int blendMode;
    std::vector<SheetCell> sheetRow;
    bool written = true;

    std::string name() const {
        return std::string("format ") + displayFormatName(format) + " blend " + std::to_string(blendMode);
    }
    std::string fileName(const char* prefix, const std::string& suffix) const {
        return std::string(prefix) + displayFormatName(format) + "-blend" + std::to_string(blendMode) + suffix;
    }
};

SessionRequest sessionRequest(const RunContext& run, const Combination& combination) {
    SessionRequest request;
    request.format = combination.format;
    request.blendMode = combination.blendMode;
    request.width = run.options.width;
    request.height = run.options.height;
    request.frames = run.options.frames;
    request.skinDirectory = run.skinDirectory;
    request.loggerDirectory = run.loggerDirectory;
    request.showWindow = run.options.showWindow;
    return request;
}

SheetCell sheetCell(const RunContext& run, const Combination& combination, const FrameResult& frame) {
    SheetCell cell;
    cell.label = std::string(displayFormatName(combination.format)) + " blend " +
                 std::to_string(combination.blendMode) + " #" + std::to_string(frame.index) +
                 (frame.firstAfterReset ? " after reset" : "");
    cell.highlighted = frame.firstAfterReset;
    cell.thumbnail = makeThumbnail(frame.image, run.thumbnailFactor);
    return cell;
}

// Writes the frame, reports its timing and checksum, keeps its thumbnail, drops its picture.
void recordFrame(const RunContext& run, Combination& combination, FrameResult& frame) {
    char index[16];
    std::snprintf(index, sizeof(index), "-%03u.png", frame.index);
    const fs::path file = run.outputDirectory / combination.fileName("frame-", index);
    combination.written = writePng(file.u8string(), frame.image) && combination.written;
    std::printf("  %s frame %3u: %8.3f ms  checksum %s%s\n", combination.name().c_str(),
                frame.index, frame.renderMilliseconds, hex32(frame.checksum).c_str(),
                frame.firstAfterReset ? "  (after reset)" : "");
    if (onSheet(frame.index, run.options.frames))
        combination.sheetRow.push_back(sheetCell(run, combination, frame));
    frame.image = Image();
}

bool writeWindowScreenshot(const RunContext& run, const Combination& combination, const Image& screenshot) {
    const fs::path file = run.outputDirectory / combination.fileName("window-", ".png");
    if (!writePng(file.u8string(), screenshot)) {
        std::fprintf(stderr, "dd7r-demo: cannot write %s\n", file.u8string().c_str());
        return false;
    }
    std::printf("  %s: window screenshot %s\n", combination.name().c_str(), file.u8string().c_str());
    return true;
}

void printSummary(const Combination& combination, const SessionResult& result) {
    double total = 0.0;
    for (const FrameResult& frame : result.frames) total += frame.renderMilliseconds;
    std::printf("  %s: %u frames, mean %.3f ms per frame, device reset %.3f ms\n",
                combination.name().c_str(), static_cast<unsigned>(result.frames.size()),
                total / static_cast<double>(result.frames.size()), result.resetMilliseconds);
}

bool renderCombination(RunContext& run, DisplayFormat format, int blendMode) {
    Combination combination{format, blendMode, {}, true};
    const SessionResult result =
        renderSession(run.module, sessionRequest(run, combination),
                      [&](FrameResult& frame) { recordFrame(run, combination, frame); });
    if (!result.ok()) {
        std::fprintf(stderr, "dd7r-demo: %s: %s\n", combination.name().c_str(), result.error.c_str());
        return false;
    }
    if (!combination.written) {
        std::fprintf(stderr, "dd7r-demo: cannot write frames into %s\n",
                     run.outputDirectory.u8string().c_str());
        return false;
    }
    if (run.options.showWindow && !writeWindowScreenshot(run, combination, result.windowScreenshot))
        return false;
    printSummary(combination, result);
    run.sheetRows.push_back(std::move(combination.sheetRow));
    return true;
}

// Frames of an earlier run (perhaps with more frames or other modes) would mix with this run's:
// only files named like the demo's frames and window screenshots are removed.
void removeEarlierFrames(const fs::path& directory) {
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, code)) {
        const std::string name = entry.path().filename().u8string();
        if (entry.is_regular_file(code) &&
            (name.rfind("frame-", 0) == 0 || name.rfind("window-", 0) == 0) &&
            name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            fs::remove(entry.path(), code);
    }
}

bool prepareOutput(RunContext& run) {
    std::error_code code;
    fs::create_directories(run.outputDirectory, code);
    if (code) {
        std::fprintf(stderr, "dd7r-demo: cannot create %s: %s\n",
                     run.outputDirectory.u8string().c_str(), code.message().c_str());
        return false;
    }
    run.outputDirectory = fs::absolute(run.outputDirectory, code).lexically_normal();
    run.outputDirectory.make_preferred();
    removeEarlierFrames(run.outputDirectory);
    run.skinDirectory = (run.outputDirectory / "skin").u8string();
    std::string error;
    if (!writeSkinFiles(run.skinDirectory, error)) {
        std::fprintf(stderr, "dd7r-demo: %s\n", error.c_str());
        return false;
    }
    if (!run.options.logDirectory.empty() &&
        !prepareLoggingDirectory(run.options.logDirectory, run.loggerDirectory, error)) {
        std::fprintf(stderr, "dd7r-demo: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The module reads DD7R_CAPTURE once, when it is loaded: set it before loading the module.
void requestCapture(const std::string& file) {
    static std::string assignment;
    assignment = "DD7R_CAPTURE=" + file;
    putenv(&assignment[0]);
}

}  // namespace

int runDemo(const DemoOptions& options) {
    if (options.showWindow && !platformHasWindows()) {
        std::fprintf(stderr, "dd7r-demo: --window needs the Windows build (run it under Wine with a display)\n");
        return 2;
    }
    if (!options.captureFile.empty()) requestCapture(options.captureFile);
    const RendererModule module(defaultRendererModulePath());
    if (!module.ok()) {
        std::fprintf(stderr, "dd7r-demo: %s\n", module.error().c_str());
        return 1;
    }
    RunContext run{options, module, fs::u8path(options.outputDirectory), {}, {}, {}, 1, false};
    run.thumbnailFactor = (options.width + kThumbnailTargetWidth - 1) / kThumbnailTargetWidth;
    if (!prepareOutput(run)) return 1;
    std::printf("dd7r-demo: module %s, display %ux%u, %u frames per mode, skin in %s\n",
                module.path().c_str(), options.width, options.height, options.frames,
                run.skinDirectory.c_str());
    if (!run.loggerDirectory.empty())
        std::printf("dd7r-demo: logging to %sdd7r.log\n", run.loggerDirectory.c_str());

    for (DisplayFormat format : options.formats)
        for (int blendMode : options.blendModes)
            if (!renderCombination(run, format, blendMode)) run.failed = true;

    const std::string title = "dd7r-demo " + std::to_string(options.width) + "x" +
                              std::to_string(options.height) + " - reset before frame #" +
                              std::to_string(resetFrameIndex(options.frames));
    const fs::path sheet = run.outputDirectory / "contact-sheet.png";
    if (!run.sheetRows.empty() && !writePng(sheet.u8string(), composeContactSheet(title, run.sheetRows))) {
        std::fprintf(stderr, "dd7r-demo: cannot write %s\n", sheet.u8string().c_str());
        run.failed = true;
    }
    std::printf("dd7r-demo: output folder %s\n", run.outputDirectory.u8string().c_str());
    std::printf("dd7r-demo: contact sheet %s\n", sheet.u8string().c_str());
    return run.failed ? 1 : 0;
}

}  // namespace dd7rdemo
