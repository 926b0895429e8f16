#pragma once
// The demo's own 5x7 pixel font: printable ASCII, drawn into images (the contact sheet labels,
// the skin's font atlas and logo). Characters without a glyph are shown as '?'.

#include "image/Image.h"

#include <array>
#include <cstdint>
#include <string>

namespace dd7rdemo {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;  // glyph plus one blank column

// Seven rows, top first; bit 4 is the leftmost pixel.
using GlyphRows = std::array<std::uint8_t, kGlyphHeight>;

const GlyphRows& glyphFor(char c);

// Draws `text` with its top-left corner at (x, y), each font pixel a `scale` x `scale` block.
void drawText(Image& image, int x, int y, const std::string& text, Colour colour, int scale = 1);

int textWidth(const std::string& text, int scale = 1);

}  // namespace dd7rdemo
