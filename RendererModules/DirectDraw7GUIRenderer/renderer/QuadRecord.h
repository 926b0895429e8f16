#pragma once
// One submitted quad, copied by value into the quad queue.

#include <cstdint>

#include "interface/Renderer.h"

namespace ZelUISystem {

class Texture;

struct QuadRecord {
    Texture* texture;
    FloatRect destRect;
    float z;
    FloatRect sourceRect;
    CornerColours colours;
};

// The one flat colour a quad is drawn in: the floor of the mean of its corners per channel.
struct QuadColour {
    std::uint32_t a;
    std::uint32_t r;
    std::uint32_t g;
    std::uint32_t b;
};

}  // namespace ZelUISystem
