#include "FrameSummary.h"

#include <algorithm>
#include <iomanip>
#include <ostream>

#include "FrameCases.h"

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

double median(std::vector<double> values) {
    if (values.empty()) return -1.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

std::string sizeName(const std::string& name) {
    const auto slash = name.find('/');
    return slash == std::string::npos ? std::string() : name.substr(slash + 1);
}

void printCell(std::ostream& out, double milliseconds, double sdlMilliseconds) {
    if (milliseconds < 0.0) {
        out << std::setw(12) << "-" << std::setw(10) << "-";
        return;
    }
    out << std::setw(12) << std::fixed << std::setprecision(3) << milliseconds;
    if (sdlMilliseconds > 0.0 && milliseconds > 0.0)
        out << std::setw(9) << std::setprecision(2) << sdlMilliseconds / milliseconds << "x";
    else
        out << std::setw(10) << "-";
}

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
    else if (run.aggregate_name == "median")
        reportedMedians_[name] = milliseconds;
}

double FrameSummaryReporter::medianMilliseconds(const std::string& name) const {
    if (const auto found = reportedMedians_.find(name); found != reportedMedians_.end())
        return found->second;
    const auto found = iterationTimes_.find(name);
    return found == iterationTimes_.end() ? -1.0 : median(found->second);
}

void FrameSummaryReporter::Finalize() {
    ConsoleReporter::Finalize();
    printSummary(GetOutputStream());
}

void FrameSummaryReporter::printSummary(std::ostream& out) const {
    if (sizes_.empty()) return;
    out << "\nFrame summary: median CPU ms per frame and SDL2 time / case time\n";
    out << std::left << std::setw(22) << "case" << std::right;
    for (const std::string& size : sizes_) out << std::setw(12) << size << std::setw(10) << "vs SDL2";
    out << "\n";
    for (const char* name : kAllCases) {
        out << std::left << std::setw(22) << name << std::right;
        for (const std::string& size : sizes_)
            printCell(out, medianMilliseconds(std::string(name) + "/" + size),
                      isBaselineCase(name) ? -1.0 : medianMilliseconds(std::string(kSdlCase) + "/" + size));
        out << "\n";
    }
    for (const std::string& size : sizes_) {
        const double sdl = medianMilliseconds(std::string(kSdlCase) + "/" + size);
        const double mode2 = medianMilliseconds(std::string(kMode2Case) + "/" + size);
        const double unchanged = medianMilliseconds(std::string(kMode0UnchangedCase) + "/" + size);
        const double present = medianMilliseconds(std::string(kPresentCase) + "/" + size);
        out << size << ": blend mode 2 ";
        if (sdl > 0.0 && mode2 > 0.0)
            out << "SDL2 time / dd7r time = " << std::setprecision(2) << sdl / mode2 << " (target >= "
                << kTargetSpeedUp << ": " << (sdl / mode2 >= kTargetSpeedUp ? "met" : "MISSED") << ")";
        else
            out << "not measured";
        if (unchanged > 0.0 && present > 0.0)
            out << "; unchanged pass = " << std::setprecision(2) << unchanged / present << " presents";
        out << "\n";
    }
}

}  // namespace framebench
