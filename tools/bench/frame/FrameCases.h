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

// Measures of one part of a frame, not of a frame: no ratio to SDL2's frame.
inline bool isBaselineCase(const char* name) {
    return std::strcmp(name, kPresentCase) == 0 || std::strcmp(name, kStretchBaselineCase) == 0;
}

// Table order.
constexpr const char* kAllCases[] = {kSdlCase, kMode0FullCase, kMode0UnchangedCase,
                                     kPresentCase, kMode1Case, kMode2Case, kStretchBaselineCase};

// dd7r in blend mode 2 must draw the frame at least this many times faster than SDL2.
constexpr double kTargetSpeedUp = 3.0;

}  // namespace framebench
