#pragma once
// One picture that shows many frames side by side, each with a label above it.

#include "image/Image.h"

#include <string>
#include <vector>

namespace dd7rdemo {

struct SheetCell {
    std::string label;
    bool highlighted = false;  // label drawn in the accent colour
    Image thumbnail;           // RGB
};

// The frame reduced by `factor` (box average of factor x factor pixels).
Image makeThumbnail(const Image& frame, unsigned factor);

// Rows of cells under a title; rows may differ in length.
Image composeContactSheet(const std::string& title, const std::vector<std::vector<SheetCell>>& rows);

}  // namespace dd7rdemo
