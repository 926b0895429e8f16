#pragma once
// Compares the frames (frame-*.png) of two output folders in order: the first frame and pixel
// where they differ, or that all of them are the same.

#include <cstdio>
#include <string>

namespace dd7rreplay {

// True when both folders hold the same frames with the same pixels; the verdict goes to `out`.
bool compareFrameFolders(const std::string& mine, const std::string& other, std::FILE* out);

}  // namespace dd7rreplay
