#include "FrameSummary.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <ostream>

#include "scene/FrameCases.h"

namespace framebench {

namespace {

double toMilliseconds(double time, benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond: return time / 1e6;
        case benchmark::kMicrosecond: return time / 1e3;
        case benchmark::kMillisecond: return time;
        case benchmark::kSecond: return time * 1e3;
    }
    return time;
}

std::string sizeName(const std::string& name) {
    const auto slash = name.find('/');
    return slash == std::string::npos ? std::string() : name.substr(slash + 1);
}

std::string caseKey(const std::string& caseName, const std::string& size) { return caseName + "/" + size; }

// "-" when either figure is missing.
void printRatio(std::ostream& out, int width, double numerator, double denominator) {
    if (numerator > 0.0 && denominator > 0.0)
        out << std::setw(width - 1) << std::fixed << std::setprecision(2) << numerator / denominator << "x";
    else
        out << std::setw(width) << "-";
}

void printMilliseconds(std::ostream& out, int width, double milliseconds) {
    if (milliseconds > 0.0)
        out << std::setw(width) << std::fixed << std::setprecision(3) << milliseconds;
    else
        out << std::setw(width) << "-";
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

void FrameSummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) collect(run);
}

void FrameSummaryReporter::collect(const Run& run) {
    if (run.error_occurred) return;
    const std::string name = run.run_name.function_name;
    const std::string size = sizeName(name);
    if (!size.empty() && std::find(sizes_.begin(), sizes_.end(), size) == sizes_.end())
        sizes_.push_back(size);
    const double milliseconds = toMilliseconds(run.GetAdjustedCPUTime(), run.time_unit);
    if (run.run_type == Run::RT_Iteration)
        iterationTimes_[name].push_back(milliseconds);
    else if (run.aggregate_name == kBestAggregate)
        reportedBest_[name] = milliseconds;
    if (const auto counter = run.counters.find(kLeastBytesCounter); counter != run.counters.end())
        leastBytes_[name] = counter->second.value;
}

double FrameSummaryReporter::bestMilliseconds(const std::string& name) const {
    if (const auto found = reportedBest_.find(name); found != reportedBest_.end()) return found->second;
    const auto found = iterationTimes_.find(name);
    if (found == iterationTimes_.end() || found->second.empty()) return -1.0;
    return *std::min_element(found->second.begin(), found->second.end());
}

double FrameSummaryReporter::leastBytes(const std::string& name) const {
    const auto found = leastBytes_.find(name);
    return found == leastBytes_.end() ? -1.0 : found->second;
}

// The case's least traffic moved at the memory pass's speed.
double FrameSummaryReporter::floorMilliseconds(const std::string& caseName, const std::string& size) const {
    const double bytes = leastBytes(caseKey(caseName, size));
    const double passBytes = leastBytes(caseKey(kMemoryPassCase, size));
    const double passMilliseconds = bestMilliseconds(caseKey(kMemoryPassCase, size));
    if (caseName == kMemoryPassCase || bytes <= 0.0 || passBytes <= 0.0 || passMilliseconds <= 0.0)
        return -1.0;
    return bytes * passMilliseconds / passBytes;
}

void FrameSummaryReporter::Finalize() {
    ConsoleReporter::Finalize();
    printSummary(GetOutputStream());
    if (!summaryFile_.empty()) writeSummaryFile();
}

void FrameSummaryReporter::printSummary(std::ostream& out) const {
    if (sizes_.empty()) return;
    out << "\nFrame summary: best CPU ms per frame; vs SDL2 = SDL2 time / case time; floor = least "
           "memory traffic / memory-pass bandwidth (ms); x floor = case time / floor\n";
    out << std::left << std::setw(22) << "case" << std::right;
    for (const std::string& size : sizes_)
        out << std::setw(11) << size << std::setw(9) << "vs SDL2" << std::setw(8) << "floor"
            << std::setw(9) << "x floor";
    out << "\n";
    for (const char* name : kAllCases) {
        out << std::left << std::setw(22) << name << std::right;
        for (const std::string& size : sizes_) {
            const double milliseconds = bestMilliseconds(caseKey(name, size));
            const double floor = floorMilliseconds(name, size);
            printMilliseconds(out, 11, milliseconds);
            printRatio(out, 9, isBaselineCase(name) ? -1.0 : bestMilliseconds(caseKey(kSdlCase, size)),
                       milliseconds);
            printMilliseconds(out, 8, floor);
            printRatio(out, 9, milliseconds, floor);
        }
        out << "\n";
    }
    for (const std::string& size : sizes_) printGoals(out, size);
}

void FrameSummaryReporter::printGoals(std::ostream& out, const std::string& size) const {
    const double sdl = bestMilliseconds(caseKey(kSdlCase, size));
    const double mode2 = bestMilliseconds(caseKey(kMode2Case, size));
    const double floor = floorMilliseconds(kMode2Case, size);
    const double passBytes = leastBytes(caseKey(kMemoryPassCase, size));
    const double passMilliseconds = bestMilliseconds(caseKey(kMemoryPassCase, size));
    out << std::setprecision(2) << size << ": blend mode 2 ";
    if (sdl > 0.0 && mode2 > 0.0)
        out << "SDL2 time / dd7r time = " << sdl / mode2 << " (target >= " << kTargetSpeedUp << ": "
            << verdict(sdl / mode2 >= kTargetSpeedUp) << ")";
    else
        out << "not measured";
    if (mode2 > 0.0 && floor > 0.0)
        out << "; time / floor = " << mode2 / floor << " (goal <= " << kFloorRatioGoal << ": "
            << verdict(mode2 / floor <= kFloorRatioGoal) << ")";
    if (passBytes > 0.0 && passMilliseconds > 0.0)
        out << "; memory pass " << std::setprecision(1) << passBytes / passMilliseconds / 1e6 << " GB/s";
    out << "\n";
}

void FrameSummaryReporter::writeSummaryFile() const {
    std::ofstream file(summaryFile_);
    for (const std::string& size : sizes_)
        for (const char* name : kAllCases) {
            const double milliseconds = bestMilliseconds(caseKey(name, size));
            if (milliseconds > 0.0)
                file << name << ' ' << size << ' ' << std::setprecision(6) << milliseconds << ' '
                     << std::setprecision(0) << std::fixed << std::max(0.0, leastBytes(caseKey(name, size)))
                     << std::defaultfloat << '\n';
        }
    if (!file) std::cerr << "bench_frame: cannot write the summary to " << summaryFile_ << "\n";
}

}  // namespace framebench
