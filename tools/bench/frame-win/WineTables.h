#pragma once
// The Wine frame benchmark's tables: each case beside the native case and SDL2 of the same
// bench.sh run (read from bench_frame's summary file), its floor, and where its time goes.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "DDrawCallTimer.h"

namespace framebench {

struct WineCase {
    std::string name;  // as the native case it compares with, e.g. dd7r_mode2
    std::string size;  // "<W>x<H>"
    double bestMilliseconds = 0.0;
    double medianMilliseconds = 0.0;
    std::int64_t leastBytes = 0;
    double floorMilliseconds = 0.0;  // least bytes at the memory pass's speed
    int timedFrames = 0;             // frames behind `callTimes` (the fastest timed frame: 1)
    double timedMilliseconds = 0.0;  // their total, the wrapper's cost included
    FrameCallTimes callTimes;        // summed over those frames
};

// "<case> <size> <ms> <bytes>" lines; empty when the file cannot be read.
std::map<std::string, double> readNativeMilliseconds(const std::string& path);

void printWineCases(const std::vector<WineCase>& cases, const std::map<std::string, double>& native,
                    int samples, int rounds);
void printWhereTimeGoes(const std::vector<WineCase>& cases);
// The speed of each kind of blit: destination megapixels per second, all cases together.
void printBlitSpeeds(const std::vector<WineCase>& cases);

}  // namespace framebench
