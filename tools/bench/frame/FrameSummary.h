#pragma once
// Google Benchmark's console table, followed by a summary of the frame cases: the median
// milliseconds per frame of each case and size, and how many times faster than SDL2 it is.
// CPU time, not wall time: the cases run on one thread, and on a machine shared with other
// work the wall time mostly measures the waits for a processor.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace framebench {

class FrameSummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    void collect(const Run& run);
    double medianMilliseconds(const std::string& name) const;  // negative: not measured
    void printSummary(std::ostream& out) const;

    std::vector<std::string> sizes_;  // in the order first seen
    std::map<std::string, std::vector<double>> iterationTimes_;  // by run name, ms per frame
    std::map<std::string, double> reportedMedians_;              // from median aggregates
};

}  // namespace framebench
