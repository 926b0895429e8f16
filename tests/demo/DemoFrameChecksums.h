#pragma once
// The checksum of every frame of the reference run (640x480, three frames, reset before the
// second), per display format and blend mode. Both builds must produce exactly these: the
// software DirectDraw natively and Wine's DirectDraw 7 in the Windows build.

#include "options/DemoOptions.h"

#include <array>
#include <cstdint>

namespace dd7rdemo {

constexpr unsigned kReferenceWidth = 640;
constexpr unsigned kReferenceHeight = 480;
constexpr unsigned kReferenceFrames = 3;

using FrameChecksums = std::array<std::uint32_t, kReferenceFrames>;

// The kept checksums of one format and blend mode.
const FrameChecksums& referenceChecksums(DisplayFormat format, int blendMode);

}  // namespace dd7rdemo
