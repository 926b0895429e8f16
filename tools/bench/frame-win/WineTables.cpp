#include "WineTables.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "scene/FrameCases.h"

namespace framebench {

namespace {

std::string keyOf(const std::string& caseName, const std::string& size) { return caseName + "/" + size; }

double lookUp(const std::map<std::string, double>& figures, const std::string& key) {
    const auto found = figures.find(key);
    return found == figures.end() ? -1.0 : found->second;
}

void printMilliseconds(double milliseconds) {
    if (milliseconds > 0.0) std::printf(" %9.3f", milliseconds);
    else std::printf(" %9s", "-");
}

void printRatio(double numerator, double denominator) {
    if (numerator > 0.0 && denominator > 0.0) std::printf(" %8.2fx", numerator / denominator);
    else std::printf(" %9s", "-");
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

void printGoals(const WineCase& wine, const std::map<std::string, double>& native) {
    const double sdl = lookUp(native, keyOf(kSdlCase, wine.size));
    const double same = lookUp(native, keyOf(wine.name, wine.size));
    std::printf("%s: blend mode 2 under Wine", wine.size.c_str());
    if (sdl > 0.0)
        std::printf(": SDL2 time / Wine time = %.2f (goal >= %.1f: %s)", sdl / wine.bestMilliseconds,
                    kWineSpeedUpGoal, verdict(sdl / wine.bestMilliseconds >= kWineSpeedUpGoal));
    if (same > 0.0)
        std::printf("; Wine time / native time = %.2f (goal <= %.1f: %s)", wine.bestMilliseconds / same,
                    kWineToNativeGoal, verdict(wine.bestMilliseconds / same <= kWineToNativeGoal));
    if (sdl <= 0.0 && same <= 0.0) std::printf(": no native figures to compare with");
    std::printf("\n");
}

}  // namespace

std::map<std::string, double> readNativeMilliseconds(const std::string& path) {
    std::map<std::string, double> figures;
    if (path.empty()) return figures;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string caseName;
        std::string size;
        double milliseconds = 0.0;
        if (fields >> caseName >> size >> milliseconds) figures[keyOf(caseName, size)] = milliseconds;
    }
    return figures;
}

void printWineCases(const std::vector<WineCase>& cases, const std::map<std::string, double>& native,
                    int samples, int rounds) {
    std::printf("\nWine frame summary: dd7r.dll on Wine's DirectDraw 7, best wall ms of %d frames in each of %d "
                "rounds, median of the fastest round; native and SDL2 = best CPU ms of bench_frame in this run; "
                "floor = least memory traffic / Wine's memory-pass bandwidth\n",
                samples, rounds);
    std::printf("%-18s %-10s %9s %9s %9s %9s %9s %9s %9s %9s\n", "case", "size", "wine", "median", "floor",
                "x floor", "native", "x native", "SDL2", "vs SDL2");
    for (const WineCase& wine : cases) {
        const double same = lookUp(native, keyOf(wine.name, wine.size));
        const double sdl = lookUp(native, keyOf(kSdlCase, wine.size));
        std::printf("%-18s %-10s", wine.name.c_str(), wine.size.c_str());
        printMilliseconds(wine.bestMilliseconds);
        printMilliseconds(wine.medianMilliseconds);
        printMilliseconds(wine.floorMilliseconds);
        printRatio(wine.bestMilliseconds, wine.floorMilliseconds);
        printMilliseconds(same);
        printRatio(wine.bestMilliseconds, same);
        printMilliseconds(sdl);
        printRatio(sdl, wine.bestMilliseconds);
        std::printf("\n");
    }
    for (const WineCase& wine : cases)
        if (wine.name == kMode2Case) printGoals(wine, native);
}

// Per frame: each wrapped DirectDraw call (count and ms), the kernels, queueing the quads, and
// the rest (the render pass's own work: walking the queue, drawQuad; the wrapper's clock reads).
void printWhereTimeGoes(const std::vector<WineCase>& cases) {
    std::printf("\nWhere a Wine frame's time goes: ms (calls) in the fastest of the frames with every surface "
                "call timed\n");
    std::printf("%-18s %-10s %8s", "case", "size", "frame");
    for (std::size_t call = 0; call < kTimedCallCount; ++call)
        std::printf(" %14s", timedCallName(static_cast<TimedCall>(call)));
    std::printf(" %8s %8s %8s\n", "kernels", "queue", "rest");
    for (const WineCase& wine : cases) {
        if (wine.timedFrames <= 0) continue;
        const double frames = wine.timedFrames;
        const double frame = wine.timedMilliseconds / frames;
        double accounted = (wine.callTimes.kernelSeconds + wine.callTimes.queueSeconds) * 1e3 / frames;
        std::printf("%-18s %-10s %8.3f", wine.name.c_str(), wine.size.c_str(), frame);
        for (const CallTally& tally : wine.callTimes.calls) {
            const double milliseconds = tally.seconds * 1e3 / frames;
            accounted += milliseconds;
            char cell[32];
            std::snprintf(cell, sizeof(cell), "%.3f (%.0f)", milliseconds, tally.count / frames);
            std::printf(" %14s", cell);
        }
        std::printf(" %8.3f %8.3f %8.3f\n", wine.callTimes.kernelSeconds * 1e3 / frames,
                    wine.callTimes.queueSeconds * 1e3 / frames, frame - accounted);
    }
}

}  // namespace framebench

namespace framebench {

void printBlitSpeeds(const std::vector<WineCase>& cases) {
    std::printf("\nWine's blits by kind, the fastest timed frame of every case, by size: calls, megapixels, Mpix/s\n");
    std::vector<std::string> sizes;
    for (const WineCase& wine : cases)
        if (std::find(sizes.begin(), sizes.end(), wine.size) == sizes.end()) sizes.push_back(wine.size);
    for (const std::string& size : sizes) {
        for (TimedCall call : {TimedCall::BltFill, TimedCall::BltCopy, TimedCall::BltFastKeyed, TimedCall::BltFast}) {
            CallTally total;
            for (const WineCase& wine : cases) {
                if (wine.size != size) continue;
                const CallTally& tally = wine.callTimes.calls[static_cast<std::size_t>(call)];
                total.count += tally.count;
                total.seconds += tally.seconds;
                total.pixels += tally.pixels;
            }
            if (total.count == 0) continue;
            std::printf("  %-10s %-12s %8zu %10.1f %10.1f\n", size.c_str(), timedCallName(call), total.count,
                        total.pixels / 1e6, total.seconds > 0.0 ? total.pixels / 1e6 / total.seconds : 0.0);
        }
    }
}

}  // namespace framebench
