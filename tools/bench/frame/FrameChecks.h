#pragma once
// A sanity check printed after the timings: one frame per renderer and size, how much of the
// screen each drew and how far dd7r's frames are from SDL2's (they round differently, and blend
// modes 0 and 1 draw translucency differently, so they are never identical).

#include <deque>
#include <ostream>
#include <string>

#include "scene/SceneFiles.h"

namespace framebench {

// Writes <dumpDirectory>/<case>-<W>x<H>.ppm for each frame when dumpDirectory is not empty.
void printFrameChecks(const std::deque<Scene>& scenes, const std::string& dumpDirectory, std::ostream& out);

}  // namespace framebench
