#include "scene/QuadPainter.h"

#include "skin/SkinImages.h"

#include <algorithm>

namespace dd7rdemo {

using ZelUISystem::CornerColours;
using ZelUISystem::FloatRect;

namespace {

std::uint32_t packed(Colour c) {
    return static_cast<std::uint32_t>(c.alpha) << 24 | static_cast<std::uint32_t>(c.red) << 16 |
           static_cast<std::uint32_t>(c.green) << 8 | c.blue;
}

FloatRect toFloat(PixelRect r) {
    return {static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
            static_cast<float>(r.bottom)};
}

}  // namespace

void QuadPainter::image(ZelUISystem::Texture* texture, PixelRect destination, PixelRect source,
                        float z, Colour colour) {
    const Colour corners[4] = {colour, colour, colour, colour};
    image(texture, destination, source, z, corners);
}

void QuadPainter::image(ZelUISystem::Texture* texture, PixelRect destination, PixelRect source,
                        float z, const Colour (&corners)[4]) {
    if (destination.width() <= 0 || destination.height() <= 0) return;
    const CornerColours colours{
        {packed(corners[0]), packed(corners[1]), packed(corners[2]), packed(corners[3])}};
    renderer_.submitQuad(toFloat(destination), z, texture, toFloat(source), colours, 0);
}

void QuadPainter::nineSlice(ZelUISystem::Texture* texture, int textureSize, int corner,
                            PixelRect d, float z, Colour colour) {
    const int sourceEdges[4] = {0, corner, textureSize - corner, textureSize};
    const int columns[4] = {d.left, d.left + corner, d.right - corner, d.right};
    const int rows[4] = {d.top, d.top + corner, d.bottom - corner, d.bottom};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            image(texture, {columns[column], rows[row], columns[column + 1], rows[row + 1]},
                  {sourceEdges[column], sourceEdges[row], sourceEdges[column + 1],
                   sourceEdges[row + 1]},
                  z, colour);
}

void QuadPainter::glyph(char c, PixelRect destination, int cropTop, int cropBottom, float z,
                        Colour colour) {
    if (c < kFontFirstChar || c > kFontLastChar) c = '?';
    const int index = c - kFontFirstChar;
    const int cellX = (index % kFontColumns) * kFontCellWidth;
    const int cellY = (index / kFontColumns) * kFontCellHeight;
    const PixelRect source{cellX, cellY + cropTop, cellX + kFontGlyphWidth,
                           cellY + kFontGlyphHeight - cropBottom};
    image(font_, destination, source, z, colour);
}

void QuadPainter::text(int x, int y, const std::string& text, float z, Colour colour, int scale) {
    for (char c : text) {
        if (c != ' ')
            glyph(c, {x, y, x + kFontGlyphWidth * scale, y + kFontGlyphHeight * scale}, 0, 0, z,
                  colour);
        x += kFontGlyphWidth * scale;
    }
}

void QuadPainter::text(int x, int y, const std::string& text, float z, Colour colour,
                       PixelRect clip) {
    const int cropTop = std::max(0, clip.top - y);
    const int cropBottom = std::max(0, y + kFontGlyphHeight - clip.bottom);
    if (cropTop + cropBottom >= kFontGlyphHeight) return;
    for (char c : text) {
        if (x + kFontGlyphWidth > clip.right) break;
        if (c != ' ' && x >= clip.left)
            glyph(c, {x, y + cropTop, x + kFontGlyphWidth, y + kFontGlyphHeight - cropBottom},
                  cropTop, cropBottom, z, colour);
        x += kFontGlyphWidth;
    }
}

}  // namespace dd7rdemo
