#pragma once
// The whole demo run: the skin, every chosen format and blend mode, the frame files, the
// contact sheet and the report on standard output. Returns the process exit code.

#include "options/DemoOptions.h"

namespace dd7rdemo {

int runDemo(const DemoOptions& options);

}  // namespace dd7rdemo
