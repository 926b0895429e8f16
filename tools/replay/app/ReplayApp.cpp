#include "app/ReplayApp.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/CaptureStats.h"
#include "compare/FrameFolders.h"
#include "core/ObservedModule.h"
#include "host/RendererModule.h"
#include "image/ContactSheet.h"
#include "image/ImageFiles.h"
#include "image/SurfaceCapture.h"
#include "reader/CaptureFile.h"
#include "report/ReportData.h"
#include "report/ReportWriter.h"
#include "replay/Replayer.h"

namespace dd7rreplay {

namespace fs = std::filesystem;

namespace {

// Every divergence, then how many and where the first was; 1 (the exit status) when there was any.
int printDivergences(const ReplayReport& report) {
    if (report.loggerThrows != 0)
        std::printf("dd7r-replay: %u call%s failed when captured because the logging library threw (the replay "
                    "runs without it)\n", report.loggerThrows, report.loggerThrows == 1 ? "" : "s");
    for (const ReplayDivergence& divergence : report.divergences)
        std::printf("dd7r-replay: diverged: %s\n", divergence.text().c_str());
    if (report.divergences.empty()) return 0;
    const ReplayDivergence& first = report.divergences.front();
    std::printf("dd7r-replay: %zu divergence%s, the first in call %u (%s at offset %llu)\n", report.divergences.size(),
                report.divergences.size() == 1 ? "" : "s",
                first.call, recordKindName(first.kind), static_cast<unsigned long long>(first.offset));
    return 1;
}

constexpr unsigned kSheetColumns = 8;
constexpr unsigned kMaxSheetFrames = 64;
constexpr unsigned kThumbnailWidth = 240;

void removeEarlierFrames(const fs::path& folder) {
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().u8string();
        if (name.rfind("frame-", 0) == 0) fs::remove(entry.path(), code);
    }
}

struct FrameWriter {
    const ReplayOptions& options;
    fs::path folder;
    std::FILE* summary = nullptr;
    std::vector<std::vector<dd7rdemo::SheetCell>> sheet;
    unsigned onSheet = 0;
    bool failed = false;

    void operator()(ReplayFrame& frame) {
        if (frame.index < options.firstFrame || frame.index > options.lastFrame) return;
        char name[32];
        std::snprintf(name, sizeof(name), "frame-%04u.png", frame.index);
        std::uint32_t checksum = 0;
        if (frame.hasImage) {
            checksum = dd7rdemo::frameChecksum(frame.image);
            if (!dd7rdemo::writePng((folder / name).u8string(), frame.image)) failed = true;
            addToSheet(frame);
        }
        char line[256];
        std::snprintf(line, sizeof(line),
                      "frame %4u  renderer %u  quads %4u  textures +%u -%u  resets %u  %8.3f ms  checksum 0x%08x%s\n",
                      frame.index, frame.renderer, frame.quads, frame.texturesCreated, frame.texturesReleased,
                      frame.resets, frame.milliseconds, checksum, frame.hasImage ? "" : "  (no target)");
        std::fputs(line, stdout);
        if (summary != nullptr) std::fputs(line, summary);
    }

    void addToSheet(const ReplayFrame& frame) {
        if (onSheet >= kMaxSheetFrames) return;
        if (sheet.empty() || sheet.back().size() >= kSheetColumns) sheet.emplace_back();
        dd7rdemo::SheetCell cell;
        cell.label = "#" + std::to_string(frame.index) + " r" + std::to_string(frame.renderer) +
                     (frame.resets != 0 ? " after reset" : "");
        cell.highlighted = frame.resets != 0;
        const unsigned factor = (frame.image.width() + kThumbnailWidth - 1) / kThumbnailWidth;
        cell.thumbnail = dd7rdemo::makeThumbnail(frame.image, factor == 0 ? 1 : factor);
        sheet.back().push_back(std::move(cell));
        ++onSheet;
    }
};

int replay(const ReplayOptions& options, const CaptureFile& capture) {
    const dd7rdemo::RendererModule module(dd7rdemo::defaultRendererModulePath());
    if (!module.ok()) {
        std::fprintf(stderr, "dd7r-replay: %s\n", module.error().c_str());
        return 2;
    }
    Displays displays;
    const fs::path folder = fs::u8path(options.outputDirectory);
    std::error_code code;
    fs::create_directories(folder, code);
    removeEarlierFrames(folder);
    FrameWriter writer{options, folder, std::fopen((folder / "summary.txt").u8string().c_str(), "w"), {}, 0, false};

    ReplayReport report;
    {
        Replayer replayer(capture, module, displays, folder.u8string());
        report = replayer.run(options.lastFrame, std::ref(writer));
    }
    if (writer.summary != nullptr) std::fclose(writer.summary);
    if (!writer.sheet.empty() &&
        !dd7rdemo::writePng((folder / "contact-sheet.png").u8string(),
                            dd7rdemo::composeContactSheet("dd7r-replay " + options.capturePath, writer.sheet)))
        writer.failed = true;

    std::printf("dd7r-replay: %u calls, %u frames, %u calls skipped (on renderers or textures the capture did not see being made)\n",
                report.calls, report.frames, report.skippedCalls);
    printDivergences(report);
    std::printf("dd7r-replay: output folder %s\n", folder.u8string().c_str());
    if (writer.failed) {
        std::fprintf(stderr, "dd7r-replay: cannot write into %s\n", folder.u8string().c_str());
        return 2;
    }
    const bool rangeGiven = options.firstFrame != 0 || options.lastFrame != 0xFFFFFFFFu;
    if (rangeGiven && options.firstFrame >= report.frames) {
        std::fprintf(stderr, "dd7r-replay: the capture has %u frames (0 to %u): none is in the range asked for (from %u)\n",
                     report.frames, report.frames == 0 ? 0 : report.frames - 1, options.firstFrame);
        return 2;
    }
    if (options.lastFrame != 0xFFFFFFFFu && options.lastFrame >= report.frames)
        std::printf("dd7r-replay: the capture has %u frames: frames %u to %u are past its end\n", report.frames,
                    report.frames, options.lastFrame);
    CompareResult compared = CompareResult::Same;
    if (!options.compareDirectory.empty()) {
        const unsigned last = report.frames == 0 ? 0 : std::min(options.lastFrame, report.frames - 1);
        compared = compareFrameFolders(folder.u8string(), options.compareDirectory, options.firstFrame, last, stdout, stderr);
        if (compared == CompareResult::Unusable) return 2;
    }
    return report.divergences.empty() && compared == CompareResult::Same ? 0 : 1;
}

// A report holds at most this many frames: --frames chooses which.
constexpr unsigned kMaxInspectFrames = 1000;


// A pixel's history without the list of all the frame's events before it (the history names
// the events that wrote the pixel).
std::string withoutEventList(const std::string& text) {
    const std::size_t events = text.find("events:\n");
    const std::size_t history = text.find("history:\n");
    if (events == std::string::npos || history == std::string::npos || history < events) return text;
    return text.substr(0, events) + text.substr(history);
}

// The replay with the module's quad observer set: a report (--inspect) or one pixel's history.
int inspect(const ReplayOptions& options, const CaptureFile& capture) {
    const auto start = std::chrono::steady_clock::now();
    const dd7rdemo::RendererModule module = dd7rdemo::observableRendererModule();
    if (!module.ok()) {
        std::fprintf(stderr, "dd7r-replay: %s\n", module.error().c_str());
        return 2;
    }
    const bool history = options.pixelHistory;
    unsigned first = history ? options.historyFrame : options.firstFrame;
    unsigned last = history ? options.historyFrame : options.lastFrame;
    const bool capped = !history && last - first >= kMaxInspectFrames;
    if (capped) last = first + kMaxInspectFrames - 1;
    const fs::path folder = fs::u8path(history ? options.outputDirectory : options.inspectDirectory);
    std::error_code code;
    fs::create_directories(folder, code);
    std::unique_ptr<ReportWriter> writer;
    std::string historyText;
    bool historyFound = false;

    Displays displays;
    ReplayReport report;
    {
        Replayer replayer(capture, module, displays, folder.u8string());
        Inspector inspector(
            replayer, first, last,
            [&](InspectFrame& frame, const ReplayFrame& drawn) {
                if (writer) writer->addFrame(frame, drawn);
                if (history) {
                    historyText = pixelHistoryText(frame, options.historyX, options.historyY);
                    historyFound = true;
                }
            },
            [&](const TextureNote& texture, IDirectDrawSurface7* surface) {
                return writer ? writer->addTexture(texture, surface) : std::string();
            });
        std::string error;
        if (!inspector.attach(module, error)) {
            std::fprintf(stderr, "dd7r-replay: %s\n", error.c_str());
            return 2;
        }
        if (!history)
            writer = std::make_unique<ReportWriter>(folder.u8string(), fs::u8path(options.capturePath).filename().u8string());
        replayer.setListener(&inspector);
        report = replayer.run(last, [&](ReplayFrame& frame) { inspector.frameDrawn(frame); });
    }
    if (history) {
        if (!historyFound) {
            std::fprintf(stderr, "dd7r-replay: the capture has %u frames: there is no frame %u\n", report.frames,
                         options.historyFrame);
            return 2;
        }
        std::fputs((options.listEvents ? historyText : withoutEventList(historyText)).c_str(), stdout);
        return printDivergences(report);
    }
    if (writer->frames() == 0) {
        std::fprintf(stderr, "dd7r-replay: the capture has %u frames: none is in the range asked for\n", report.frames);
        return 2;
    }
    // The replay stops after the last frame of the range: at the cap there may be more.
    std::string note;
    if (capped && report.frames == last + 1)
        note = "frames " + std::to_string(first) + " to " + std::to_string(last) +
               ": a report holds at most 1000 frames, --frames chooses others";
    if (!report.divergences.empty()) {
        const ReplayDivergence& divergence = report.divergences.front();
        note += (note.empty() ? "" : "; ") + std::to_string(report.divergences.size()) +
                " divergence(s) from the capture, the first in call " + std::to_string(divergence.call) + ": " +
                divergence.text();
    }
    writer->finish(note);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("dd7r-replay: inspection report %s: %u frames, %.1f MB, %.1f s\n",
                (folder / "index.html").u8string().c_str(), writer->frames(),
                static_cast<double>(writer->bytesWritten()) / (1024.0 * 1024.0), seconds);
    if (!note.empty()) std::printf("dd7r-replay: %s\n", note.c_str());
    return printDivergences(report);
}

}  // namespace

int runReplay(const ReplayOptions& options) {
    try {
        const CaptureFile capture = CaptureFile::load(options.capturePath);
        if (options.statsOnly) {
            printCaptureStats(capture, stdout);
            return 0;
        }
        if (options.pixelHistory || !options.inspectDirectory.empty()) return inspect(options, capture);
        return replay(options, capture);
    } catch (const CaptureError& error) {
        std::fprintf(stderr, "dd7r-replay: %s: %s\n", options.capturePath.c_str(), error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dd7r-replay: %s\n", error.what());
        return 2;
    }
}

}  // namespace dd7rreplay
