#pragma once
// The benchmark's own command-line options, taken out of argv before Google Benchmark reads
// the rest:
//   --scene-dir=DIR (or --scene-dir DIR)  the scene folder; else $DD7R_BENCH_SCENE; else the
//                                         repository's own tools/bench/scene
//   --dump-frames=DIR                     writes each renderer's checked frame as a PPM in DIR
//   --no-frame-check                      only the timings (for profiling the drawing alone)
//   --summary-out=FILE                    also writes the summary's figures to FILE, for the
//                                         Wine frame benchmark to compare with

#include <string>

namespace framebench {

struct BenchOptions {
    std::string sceneDirectory;
    std::string dumpDirectory;  // empty: no pictures
    std::string summaryFile;    // empty: none
    bool frameCheck = true;
};

// Removes the options it knows from argv (and lowers argc). Throws std::invalid_argument on an
// option without its value.
BenchOptions takeBenchOptions(int& argc, char** argv);

}  // namespace framebench
