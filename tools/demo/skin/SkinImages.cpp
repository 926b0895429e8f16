#include "skin/SkinImages.h"

#include "image/BitmapFont.h"

#include <cstdlib>
#include <functional>

namespace dd7rdemo {

namespace {

// Shapes are tested at 4 x 4 sample points per pixel, in units of 1/8 pixel, so edges get
// partial alpha without floating point.
constexpr int kSubUnits = 8;
using Shape = std::function<bool(int sx, int sy)>;

int coverage(const Shape& inside, int x, int y) {
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (inside(x * kSubUnits + i * 2 + 1, y * kSubUnits + j * 2 + 1)) ++hits;
    return hits * 255 / 16;
}

Shape circle(int centreX, int centreY, int radius) {  // all in 1/8 pixel
    return [=](int sx, int sy) {
        const int dx = sx - centreX;
        const int dy = sy - centreY;
        return dx * dx + dy * dy <= radius * radius;
    };
}

Shape roundedRect(int left, int top, int right, int bottom, int radius) {
    return [=](int sx, int sy) {
        const int cx = sx < left + radius ? left + radius : (sx > right - radius ? right - radius : sx);
        const int cy = sy < top + radius ? top + radius : (sy > bottom - radius ? bottom - radius : sy);
        const int dx = sx - cx;
        const int dy = sy - cy;
        return sx >= left && sx <= right && sy >= top && sy <= bottom &&
               dx * dx + dy * dy <= radius * radius;
    };
}

Shape diamond(int centreX, int centreY, int radius) {
    return [=](int sx, int sy) { return std::abs(sx - centreX) + std::abs(sy - centreY) <= radius; };
}

int mix(int a, int b, int weight, int total) { return a + (b - a) * weight / total; }

Colour mixColour(Colour a, Colour b, int weight, int total) {
    return {static_cast<std::uint8_t>(mix(a.red, b.red, weight, total)),
            static_cast<std::uint8_t>(mix(a.green, b.green, weight, total)),
            static_cast<std::uint8_t>(mix(a.blue, b.blue, weight, total)), 255};
}

// Paints `colour` where the shape covers the pixel, blending the covered fraction over what
// is there (straight alpha).
void paintShape(Image& image, int left, int top, int right, int bottom, const Shape& shape,
                const std::function<Colour(int x, int y)>& colourAt) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const int cover = coverage(shape, x, y);
            if (cover == 0 || !image.contains(x, y)) continue;
            std::uint8_t* p = image.pixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            const Colour c = colourAt(x, y);
            const int oldAlpha = image.channels() == 4 ? p[3] : 255;
            const int alpha = cover + oldAlpha * (255 - cover) / 255;
            if (alpha == 0) continue;
            const auto channel = [&](int source, int old) {
                return static_cast<std::uint8_t>(
                    (source * cover + old * oldAlpha * (255 - cover) / 255) / alpha);
            };
            p[0] = channel(c.red, p[0]);
            p[1] = channel(c.green, p[1]);
            p[2] = channel(c.blue, p[2]);
            if (image.channels() == 4) p[3] = static_cast<std::uint8_t>(alpha);
        }
}

void paintSolid(Image& image, int left, int top, int right, int bottom, const Shape& shape,
                Colour colour) {
    paintShape(image, left, top, right, bottom, shape, [colour](int, int) { return colour; });
}

// Mountains: the height of a ridge at x, a sum of integer triangle waves.
int ridgeHeight(int x, int period, int amplitude, int phase) {
    const int t = (x + phase) % period;
    const int half = period / 2;
    return amplitude * (t < half ? t : period - t) / half;
}

void paintSkyAndSun(Image& image, int horizon) {
    const Colour zenith{46, 74, 140};
    const Colour haze{236, 176, 128};
    for (int y = 0; y < horizon; ++y)
        image.fillRect(0, y, static_cast<int>(image.width()), y + 1, mixColour(zenith, haze, y, horizon));
    paintSolid(image, 200, 40, 260, 100, circle(230 * kSubUnits, 70 * kSubUnits, 24 * kSubUnits),
               {255, 236, 170});
}

void paintMountains(Image& image, int horizon) {
    const int width = static_cast<int>(image.width());
    for (int x = 0; x < width; ++x) {
        const int farRidge = horizon - 30 - ridgeHeight(x, 90, 50, 17) - ridgeHeight(x, 37, 12, 5);
        const int nearRidge = horizon - 8 - ridgeHeight(x, 130, 40, 61) - ridgeHeight(x, 23, 6, 3);
        for (int y = farRidge; y < horizon; ++y) image.set(x, y, {88, 98, 150});
        for (int y = nearRidge; y < horizon; ++y) image.set(x, y, {52, 78, 96});
    }
}

void paintGround(Image& image, int horizon) {
    const int width = static_cast<int>(image.width());
    const int height = static_cast<int>(image.height());
    for (int y = horizon; y < height; ++y) {
        const Colour row = mixColour({70, 130, 60}, {34, 80, 36}, y - horizon, height - horizon);
        for (int x = 0; x < width; ++x) {
            // A perspective grid: lines get further apart towards the viewer.
            const int depth = y - horizon + 1;
            const bool line = ((x - width / 2) * 8 / depth) % 8 == 0 || (depth * depth / 40) % 9 == 0;
            image.set(x, y, line ? Colour{120, 180, 90} : row);
        }
    }
}

// A glyph of the font with a one-pixel shadow below and to the right.
void paintGlyphCell(Image& atlas, int cellX, int cellY, char c) {
    const Colour shadow{24, 24, 40};
    const Colour ink{255, 255, 255};
    drawText(atlas, cellX + 1, cellY + 1, std::string(1, c), shadow);
    drawText(atlas, cellX, cellY, std::string(1, c), ink);
}

Colour iconColour(int index, int x, int y, int left, int top) {
    static const Colour light[kIconCount] = {{255, 120, 200}, {255, 230, 110}, {150, 250, 140}, {130, 190, 255}};
    static const Colour dark[kIconCount] = {{150, 20, 90}, {190, 120, 20}, {30, 130, 40}, {30, 70, 170}};
    const int i = index % kIconCount;
    return mixColour(light[i], dark[i], (x - left) + (y - top), 2 * kIconSize);
}

void paintIcon(Image& strip, int index) {
    const int left = index * kIconSize;
    const int s = kSubUnits;
    const int cx = (left + kIconSize / 2) * s;
    const int cy = (kIconSize / 2) * s;
    Shape outline;
    Shape body;
    switch (index) {
        case 0:  // gem
            outline = diamond(cx, cy, 11 * s);
            body = diamond(cx, cy, 9 * s);
            break;
        case 1:  // coin
            outline = circle(cx, cy, 11 * s);
            body = circle(cx, cy, 9 * s);
            break;
        case 2:  // potion: a round flask with a neck
            outline = [=](int sx, int sy) {
                return circle(cx, cy + 3 * s, 9 * s)(sx, sy) ||
                       roundedRect(cx - 4 * s, 1 * s, cx + 4 * s, cy, s)(sx, sy);
            };
            body = [=](int sx, int sy) {
                return circle(cx, cy + 3 * s, 7 * s)(sx, sy) ||
                       roundedRect(cx - 2 * s, 3 * s, cx + 2 * s, cy, s)(sx, sy);
            };
            break;
        default:  // shield
            outline = roundedRect(cx - 10 * s, 1 * s, cx + 10 * s, 23 * s, 6 * s);
            body = roundedRect(cx - 8 * s, 3 * s, cx + 8 * s, 21 * s, 5 * s);
            break;
    }
    paintSolid(strip, left, 0, left + kIconSize, kIconSize, outline, {30, 30, 44});
    paintShape(strip, left, 0, left + kIconSize, kIconSize, body,
               [=](int x, int y) { return iconColour(index, x, y, left, 0); });
    // A highlight in the upper left makes the icons look lit.
    paintSolid(strip, left, 0, left + kIconSize, kIconSize,
               circle(cx - 4 * s, cy - 4 * s, 2 * s), {255, 255, 240});
}

}  // namespace

Image makeBackgroundPicture() {
    Image image(320, 240, 3);
    const int horizon = 150;
    paintSkyAndSun(image, horizon);
    paintMountains(image, horizon);
    paintGround(image, horizon);
    return image;
}

Image makePanel() {
    Image image(kPanelSize, kPanelSize, 4);
    const int s = kSubUnits;
    const int last = kPanelSize * s;
    paintSolid(image, 0, 0, kPanelSize, kPanelSize, roundedRect(0, 0, last, last, 7 * s),
               {150, 170, 210});
    paintShape(image, 0, 0, kPanelSize, kPanelSize, roundedRect(s, s, last - s, last - s, 6 * s),
               [](int, int y) { return mixColour({58, 66, 92}, {34, 40, 58}, y, kPanelSize); });
    return image;
}

Image makeTitleBar() {
    Image image(16, 16, 4);
    for (int y = 0; y < 16; ++y)
        image.fillRect(0, y, 16, y + 1, mixColour({96, 140, 230}, {36, 62, 140}, y, 15));
    image.fillRect(0, 15, 16, 16, {20, 30, 70});
    return image;
}

Image makeIconStrip() {
    Image image(kIconSize * kIconCount, kIconSize, 4);
    for (int i = 0; i < kIconCount; ++i) paintIcon(image, i);
    return image;
}

Image makeLogo() {
    Image image(64, 32, 4);
    const int s = kSubUnits;
    paintSolid(image, 0, 0, 64, 32, roundedRect(0, 0, 64 * s, 32 * s, 8 * s), {250, 200, 80});
    paintShape(image, 0, 0, 64, 32, roundedRect(2 * s, 2 * s, 62 * s, 30 * s, 6 * s),
               [](int x, int y) { return mixColour({200, 40, 60}, {90, 20, 120}, x + y, 96); });
    drawText(image, 6, 6, "DD7R", {40, 10, 30}, 2);
    drawText(image, 5, 5, "DD7R", {255, 240, 200}, 2);
    return image;
}

Image makeFontAtlas() {
    const int glyphs = kFontLastChar - kFontFirstChar + 1;
    const int rows = (glyphs + kFontColumns - 1) / kFontColumns;
    Image atlas(kFontColumns * kFontCellWidth, static_cast<unsigned>(rows * kFontCellHeight), 4);
    for (int i = 0; i < glyphs; ++i)
        paintGlyphCell(atlas, (i % kFontColumns) * kFontCellWidth, (i / kFontColumns) * kFontCellHeight,
                       static_cast<char>(kFontFirstChar + i));
    return atlas;
}

Image makeButtonFace(bool pressed) {
    Image image(48, 16, 4);
    const int s = kSubUnits;
    paintSolid(image, 0, 0, 48, 16, roundedRect(0, 0, 48 * s, 16 * s, 4 * s), {70, 70, 84});
    paintSolid(image, 0, 0, 48, 16, roundedRect(s, s, 47 * s, 15 * s, 3 * s), {255, 255, 255});
    // A bevel: light above and dark below when raised, the other way round when pressed.
    const Colour upper = pressed ? Colour{150, 150, 160} : Colour{255, 255, 255};
    const Colour lower = pressed ? Colour{255, 255, 255} : Colour{170, 170, 180};
    image.fillRect(3, 2, 45, 3, upper);
    image.fillRect(3, 13, 45, 14, lower);
    return image;
}

Image makeWhiteBlock() {
    Image image(8, 8, 4);
    image.fillRect(0, 0, 8, 8, {255, 255, 255});
    return image;
}

}  // namespace dd7rdemo
