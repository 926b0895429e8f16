#pragma once
// The pictures of the demo's skin, drawn by this program with integer arithmetic only, so that
// both builds make exactly the same pixels. Opaque pixels never use pure black: the renderer
// treats the colour 0 as transparent.

#include "image/Image.h"

namespace dd7rdemo {

// The font atlas: printable ASCII from ' ' in rows of 16 cells; each glyph (with its shadow)
// fills the top-left kFontGlyphWidth x kFontGlyphHeight pixels of its cell.
constexpr int kFontCellWidth = 8;
constexpr int kFontCellHeight = 10;
constexpr int kFontColumns = 16;
constexpr int kFontGlyphWidth = 6;
constexpr int kFontGlyphHeight = 8;
constexpr char kFontFirstChar = ' ';
constexpr char kFontLastChar = '~';

// The window frame is drawn as nine pieces: corners of this size keep their size.
constexpr int kPanelSize = 24;
constexpr int kPanelCorner = 8;

constexpr int kIconSize = 24;
constexpr int kIconCount = 4;

Image makeBackgroundPicture();  // 320x240 RGB: a landscape the overlay is drawn over
Image makePanel();              // kPanelSize square RGBA, rounded corners
Image makeTitleBar();           // 16x16 RGBA, a vertical gradient, stretched sideways
Image makeIconStrip();          // kIconCount icons of kIconSize side by side, RGBA
Image makeLogo();               // 64x32 RGBA, loaded from file bytes held in memory
Image makeFontAtlas();          // RGBA, white glyphs with a dark shadow
Image makeButtonFace(bool pressed);  // 48x16 RGBA, white face to be tinted
Image makeWhiteBlock();         // 8x8 RGBA white, tinted into solid colour bars

}  // namespace dd7rdemo
