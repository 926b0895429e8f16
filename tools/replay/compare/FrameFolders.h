#pragma once
// Compares the frames (frame-NNNN.png, or the demo's frame-...-NNN.png) of two output folders
// frame by frame, paired by their number: the first frame and pixel where they differ, or that all of them are the same.

#include <cstdio>
#include <string>

namespace dd7rreplay {

enum class CompareResult { Same = 0, Different = 1, Unusable = 2 };

// Compares the frames numbered `first` to `last` (inclusive) that either folder holds; a frame
// in that range that only one folder holds is a difference. A folder that does not exist, or
// holds no frame in the range, is Unusable. The verdict goes to `out`, errors to `errors`.
CompareResult compareFrameFolders(const std::string& mine, const std::string& other, unsigned first,
                                  unsigned last, std::FILE* out, std::FILE* errors);

}  // namespace dd7rreplay
