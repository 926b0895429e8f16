#pragma once
// Google Benchmark's console table, followed by a summary of the frame cases: the best CPU
// milliseconds per frame of each case and size, how many times faster than SDL2 it is, its
// floor (its least memory traffic at the memory pass's bandwidth, measured in the same run)
// and how many floors it takes. CPU time, not wall time: the cases run on one thread, and on a
// machine shared with other work the wall time mostly measures the waits for a processor.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace framebench {

class FrameSummaryReporter : public benchmark::ConsoleReporter {
public:
    // Also writes the summary's figures to `path` ("<case> <size> <ms> <least bytes>" lines),
    // for the Wine frame benchmark to set its own figures beside them.
    void setSummaryFile(std::string path) { summaryFile_ = std::move(path); }

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    void collect(const Run& run);
    double bestMilliseconds(const std::string& name) const;  // negative: not measured
    double leastBytes(const std::string& name) const;        // negative: not counted
    double floorMilliseconds(const std::string& caseName, const std::string& size) const;
    void printSummary(std::ostream& out) const;
    void printGoals(std::ostream& out, const std::string& size) const;
    void writeSummaryFile() const;

    std::string summaryFile_;
    std::vector<std::string> sizes_;  // in the order first seen
    std::map<std::string, std::vector<double>> iterationTimes_;  // by run name, ms per frame
    std::map<std::string, double> reportedBest_;                 // from the "best" aggregates
    std::map<std::string, double> leastBytes_;                   // by run name
};

}  // namespace framebench
