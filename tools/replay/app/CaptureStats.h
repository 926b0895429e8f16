#pragma once
// What a capture holds, without replaying it: calls of each kind, texture bytes handed to the
// module and stored, target and texture sizes.

#include <cstdio>

#include "reader/CaptureFile.h"

namespace dd7rreplay {

void printCaptureStats(const CaptureFile& capture, std::FILE* out);

}  // namespace dd7rreplay
