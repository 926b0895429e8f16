#pragma once
// Turns UI elements into renderer quads: images (stretched or 1:1), nine-piece window frames
// and text from the font atlas. Smaller z is nearer the viewer: the renderer draws larger z
// first.

#include "image/Image.h"
#include "interface/Renderer.h"

#include <string>

namespace dd7rdemo {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class QuadPainter {
public:
    QuadPainter(ZelUISystem::Renderer& renderer, ZelUISystem::Texture* font)
        : renderer_(renderer), font_(font) {}

    // The source rectangle onto the destination (stretched when the sizes differ), in one
    // colour, or with four corner colours (the renderer uses their average).
    void image(ZelUISystem::Texture* texture, PixelRect destination, PixelRect source, float z,
               Colour colour);
    void image(ZelUISystem::Texture* texture, PixelRect destination, PixelRect source, float z,
               const Colour (&corners)[4]);

    // A window frame from a square texture: the corners keep their size, the edges stretch
    // along, the middle stretches both ways.
    void nineSlice(ZelUISystem::Texture* texture, int textureSize, int corner,
                   PixelRect destination, float z, Colour colour);

    // Text at (x, y), each glyph `scale` times its size; glyph rows outside `clip` are cut off.
    void text(int x, int y, const std::string& text, float z, Colour colour, int scale = 1);
    void text(int x, int y, const std::string& text, float z, Colour colour, PixelRect clip);

private:
    void glyph(char c, PixelRect destination, int cropTop, int cropBottom, float z, Colour colour);

    ZelUISystem::Renderer& renderer_;
    ZelUISystem::Texture* font_;
};

}  // namespace dd7rdemo
