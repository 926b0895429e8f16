#pragma once
// The whole dd7r-replay run; returns the process exit code: 0 success, 1 the replay diverged
// from the capture or the comparison found a difference, 2 a bad command line or capture file.

#include "app/ReplayOptions.h"

namespace dd7rreplay {

int runReplay(const ReplayOptions& options);

}  // namespace dd7rreplay
