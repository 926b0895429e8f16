#pragma once
// Checks on finished frames: how much of the screen a renderer drew on, how far two renderers'
// frames are apart, and a picture file for a person to look at.

#include <string>

#include "screen/FramePixels.h"

namespace framebench {

// The share of pixels (0..1) that no longer hold the clear colour.
double drawnShare(const FramePixels& frame, std::uint32_t clearColour);

struct FrameDifference {
    double meanPerChannel = 0.0;  // mean absolute difference of R, G and B, 0..255
    double differingShare = 0.0;  // share of pixels off by more than 8 in some channel
};

// Frames of different sizes are as far apart as can be: 255 and every pixel.
FrameDifference compareFrames(const FramePixels& a, const FramePixels& b);

// A binary PPM (P6). False when the file cannot be written.
bool writePpm(const FramePixels& frame, const std::string& path);

}  // namespace framebench
