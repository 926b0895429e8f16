#pragma once
// The cases the frame benchmark measures at every screen size, named "<case>/<W>x<H>".

#include <cstring>

namespace framebench {

constexpr const char* kSdlCase = "sdl2";                          // SDL2's software renderer
constexpr const char* kMode0FullCase = "dd7r_mode0_full";         // composition mode, every quad
constexpr const char* kMode0UnchangedCase = "dd7r_mode0_unchanged";  // composition mode, empty queue
constexpr const char* kPresentCase = "ddraw_present";             // one keyed full-screen BltFast
constexpr const char* kMode1Case = "dd7r_mode1";
constexpr const char* kMode2Case = "dd7r_mode2";
constexpr const char* kStretchBaselineCase = "stretch_baseline";  // the frame's stretches, plain loop
// Reads two screen-sized 32-bit buffers and writes one, the kernel benchmark's memory pass: the
// bandwidth that turns a case's least traffic into its floor.
constexpr const char* kMemoryPassCase = "memory_pass";

// Measures of one part of a frame, not of a frame: no ratio to SDL2's frame.
inline bool isBaselineCase(const char* name) {
    return std::strcmp(name, kPresentCase) == 0 || std::strcmp(name, kStretchBaselineCase) == 0 ||
           std::strcmp(name, kMemoryPassCase) == 0;
}

// Table order.
constexpr const char* kAllCases[] = {kSdlCase, kMode0FullCase, kMode0UnchangedCase,
                                     kPresentCase, kMode1Case, kMode2Case, kStretchBaselineCase,
                                     kMemoryPassCase};

// The aggregate of repetitions that the summary reads: the fastest repetition.
constexpr const char* kBestAggregate = "best";

// The counter that carries a case's least memory traffic in bytes per iteration.
constexpr const char* kLeastBytesCounter = "least_bytes";

// dd7r in blend mode 2 must draw the frame at least this many times faster than SDL2.
constexpr double kTargetSpeedUp = 3.0;
// Natively, blend mode 2 at most this many times its floor.
constexpr double kFloorRatioGoal = 2.0;
// Under Wine (the product on a real DirectDraw), blend mode 2 at least this many times faster
// than SDL2, and at most this many times the native case.
constexpr double kWineSpeedUpGoal = 5.0;
constexpr double kWineToNativeGoal = 1.5;

}  // namespace framebench
