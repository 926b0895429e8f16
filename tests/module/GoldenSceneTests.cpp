// Realistic user-interface frames drawn in every blend mode and every drawable layout (565, 555,
// 32-bit, 24-bit and 4-4-4 masks). Each frame's pixels must be identical on the software
// DirectDraw and on a real DirectDraw (Wine's), and at every kernel level, so every frame has
// one checksum kept here, taken from the integer kernels (DD7R_CPU=scalar); the frames are also
// written as PNG files beside the test executable (golden-frames/) for a person to look at.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "DisplayLayout.h"
#include "image/ImageFiles.h"
#include "support/SceneFixture.h"

using namespace ZelUISystem;
using moduletest::SceneFormat;

namespace {

constexpr DWORD kWidth = 96;
constexpr DWORD kHeight = 64;

using Pixels = std::vector<std::uint8_t>;

Pixels backgroundPicture() {  // 32x24 RGB gradient
    Pixels p;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            p.insert(p.end(), {static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 10), 128});
    return p;
}

Pixels panelPicture() {  // 24x16 RGBA: opaque border, translucent inside, cut corners
    Pixels p;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool corner = (x == 0 || x == 23) && (y == 0 || y == 15);
            const bool border = x < 2 || x > 21 || y < 2 || y > 13;
            if (corner) p.insert(p.end(), {0, 0, 0, 0});
            else if (border) p.insert(p.end(), {90, 90, 140, 255});
            else p.insert(p.end(), {40, 40, 70, 200});
        }
    return p;
}

// Eight 5x7 glyphs side by side; the glyph shapes are bits of fixed patterns.
Pixels glyphAtlas() {
    static const std::uint8_t rows[8][7] = {
        {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x1E, 0x11, 0x11, 0x11, 0x1E},
        {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},
        {0x1F, 0x10, 0x1E, 0x10, 0x10, 0x10, 0x1F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
        {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x11, 0x1B, 0x15, 0x11, 0x11, 0x11, 0x11}};
    Pixels p;
    for (int y = 0; y < 7; ++y)
        for (int g = 0; g < 8; ++g)
            for (int x = 0; x < 5; ++x) {
                const bool on = (rows[g][y] >> (4 - x)) & 1;
                p.insert(p.end(), {255, 255, 255, static_cast<std::uint8_t>(on ? 255 : 0)});
            }
    return p;
}

Pixels buttonPicture() {  // 16x8 RGB: white face, black outline (the tint shows on white)
    Pixels p;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool edge = x == 0 || x == 15 || y == 0 || y == 7;
            const std::uint8_t v = edge ? 0 : (y == 1 ? 255 : 230);
            p.insert(p.end(), {v, v, v});
        }
    return p;
}

Pixels iconPicture() {  // 8x8 RGBA disc with a soft edge
    Pixels p;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int d = (2 * x - 7) * (2 * x - 7) + (2 * y - 7) * (2 * y - 7);
            const std::uint8_t a = d < 30 ? 255 : d < 50 ? 128 : 0;
            p.insert(p.end(), {250, 200, 40, a});
        }
    return p;
}

std::uint64_t fnv1a(const std::vector<DWORD>& values) {
    std::uint64_t hash = 1469598103934665603ull;
    for (DWORD v : values)
        for (int i = 0; i < 4; ++i) {
            hash ^= (v >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    return hash;
}

// The layouts the frames are drawn in. 565 and 555 textures are asked of the device (its texture
// pixel format answer) on a 32-bit display; 32-bit, 24-bit and 444 are the display's own layout,
// which the textures, the scratch and composition surfaces and the target all take.
enum class Layout { Rgb565, Rgb555, Xrgb32, Rgb24, Xrgb444 };

const char* layoutName(Layout layout) {
    switch (layout) {
        case Layout::Rgb565: return "565";
        case Layout::Rgb555: return "555";
        case Layout::Rgb24: return "24";
        case Layout::Xrgb444: return "444";
        case Layout::Xrgb32: break;
    }
    return "32";
}

// One channel scaled to 0..255 for the picture a person looks at.
std::uint8_t channelByte(DWORD value, DWORD mask) {
    if (mask == 0) return 0;
    DWORD shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    return static_cast<std::uint8_t>(((value & mask) >> shift) * 255u / (mask >> shift));
}

Pixels toRgb(const std::vector<DWORD>& values, const DDPIXELFORMAT& format) {
    Pixels rgb;
    for (DWORD v : values)
        rgb.insert(rgb.end(), {channelByte(v, format.dwRBitMask), channelByte(v, format.dwGBitMask),
                               channelByte(v, format.dwBBitMask)});
    return rgb;
}

struct GoldenCase {
    int blendMode;
    Layout layout;
};

class GoldenSceneTest : public moduletest::SceneFixture, public ::testing::WithParamInterface<GoldenCase> {
protected:
    void buildFrame(const GoldenCase& c) {
        switch (c.layout) {
            case Layout::Rgb565: return buildScene(c.blendMode, SceneFormat::Rgb565, kWidth, kHeight, 0);
            case Layout::Rgb555: return buildScene(c.blendMode, SceneFormat::Rgb555, kWidth, kHeight, 0);
            case Layout::Xrgb32: return buildScene(c.blendMode, SceneFormat::Xrgb32, kWidth, kHeight, 0);
            case Layout::Rgb24: return buildOnDisplayShowing(softddraw::rgb24Format(), c.blendMode);
            case Layout::Xrgb444: return buildOnDisplayShowing(softddraw::rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F), c.blendMode);
        }
    }

    // Textures and target in the display's layout (the scene's 32-bit case on a display of
    // another layout).
    void buildOnDisplayShowing(const DDPIXELFORMAT& layout, int blendMode) {
        directDraw.reset(moduletest::createDirectDrawShowing(layout));
        ASSERT_NE(directDraw, nullptr);
        device.directDraw = directDraw.get();
        buildScene(blendMode, SceneFormat::Xrgb32, kWidth, kHeight, 0);
        ASSERT_EQ(ddtest::surfaceDesc(target.get()).ddpfPixelFormat.dwRGBBitCount, layout.dwRGBBitCount);
    }

    // Larger z is further away: it is drawn first, under the quads of smaller z.
    void quad(Texture* t, RECT d, RECT s, std::uint32_t colour, float z) { submit(t, d, s, colour, z); }

    void drawWindowFrame() {
        CDD7Texture* background = textureFromPixels(backgroundPicture(), 32, 24, TEXFMT_RGB);
        CDD7Texture* panel = textureFromPixels(panelPicture(), 24, 16, TEXFMT_RGBA);
        CDD7Texture* atlas = textureFromPixels(glyphAtlas(), 40, 7, TEXFMT_RGBA);
        CDD7Texture* button = textureFromPixels(buttonPicture(), 16, 8, TEXFMT_RGB, /*inMemory=*/true);
        CDD7Texture* icon = textureFromPixels(iconPicture(), 8, 8, TEXFMT_RGBA);

        quad(background, RECT{0, 0, 96, 64}, RECT{0, 0, 32, 24}, 0xFFFFFFFFu, 10.0f);
        quad(panel, RECT{6, 6, 58, 46}, RECT{0, 0, 24, 16}, 0xFFFFFFFFu, 9.0f);
        quad(button, RECT{8, 8, 56, 15}, RECT{0, 0, 16, 8}, 0xFF3060C0u, 8.0f);  // title bar
        const char* title = "ABCDEFGH";
        for (int i = 0; title[i] != '\0'; ++i)
            quad(atlas, RECT{10 + 6 * i, 17, 15 + 6 * i, 24}, RECT{5 * i, 0, 5 * i + 5, 7}, 0xFFFFFFFFu, 7.0f);
        for (int i = 0; i < 6; ++i)  // coloured, translucent text
            quad(atlas, RECT{10 + 6 * i, 27, 15 + 6 * i, 34}, RECT{5 * (7 - i), 0, 5 * (7 - i) + 5, 7},
                 0xC0FFD040u, 7.0f);
        quad(button, RECT{10, 36, 26, 44}, RECT{0, 0, 16, 8}, 0xFF40A040u, 6.0f);  // normal
        quad(button, RECT{28, 36, 44, 44}, RECT{0, 0, 16, 8}, 0xFF60D060u, 6.0f);  // hover
        quad(button, RECT{46, 36, 62, 44}, RECT{0, 0, 16, 8}, 0xFF206020u, 6.0f);  // pressed
        quad(panel, RECT{50, 20, 90, 52}, RECT{0, 0, 24, 16}, 0x80FFFFFFu, 5.0f);  // translucent window
        quad(panel, RECT{60, 44, 84, 60}, RECT{0, 0, 24, 16}, 0xFFFFFFFFu, 4.5f);
        quad(icon, RECT{70, 4, 86, 20}, RECT{0, 0, 8, 8}, 0xA0FF8080u, 4.0f);     // stretched, coloured
        quad(icon, RECT{4, 50, 12, 58}, RECT{0, 0, 8, 8}, 0xFFFFFFFFu, 4.0f);
        quad(icon, RECT{14, 50, 22, 58}, RECT{0, 0, 8, 8}, 0x60FFFFFFu, 4.0f);
        renderer->renderQueue();
    }
};

// Checksums of the frames, identical on both DirectDraws.
const std::map<std::string, std::uint64_t> kExpectedChecksums = {
    {"window-blend0-565", 0xb4b68385e6e53bfdull}, {"window-blend1-565", 0x82977701782310a2ull},
    {"window-blend2-565", 0xb29f236323a81f03ull}, {"window-blend0-555", 0xff9d40df8cda8bdfull},
    {"window-blend1-555", 0xa847811bb4a3283aull}, {"window-blend2-555", 0x390ab1b04694a58eull},
    {"window-blend0-32", 0xbc30c218695c4e95ull},  {"window-blend1-32", 0x3afb620ecdae2e2aull},
    {"window-blend2-32", 0x56f0cd43a17d53c1ull},  {"window-blend0-24", 0x169c37ac3884daf5ull},
    {"window-blend1-24", 0xd976c35bf39c304full},  {"window-blend2-24", 0xe57189975be33338ull},
    {"window-blend0-444", 0x1f8ac704db776f41ull}, {"window-blend1-444", 0xad387c67274497edull},
    {"window-blend2-444", 0x71b9cb10d5a84d99ull},
};

TEST_P(GoldenSceneTest, FrameMatchesItsChecksum) {
    buildFrame(GetParam());
    drawWindowFrame();
    const std::vector<DWORD> pixels = ddtest::readPixels(target.get());
    ASSERT_EQ(pixels.size(), kWidth * kHeight);
    const std::string name = std::string("window-blend") + std::to_string(GetParam().blendMode) + "-" +
                             layoutName(GetParam().layout);

    // One folder per forced kernel level, so that runs at several levels never share a file.
    const char* forcedLevel = std::getenv("DD7R_CPU");
    const std::string folder = moduletest::executableDirectory() + "golden-frames" +
                               (forcedLevel != nullptr && *forcedLevel != '\0' ? std::string("-") + forcedLevel : "");
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    EXPECT_TRUE(dd7rdemo::writePng(folder + "/" + name + ".png", dd7rdemo::Image(kWidth, kHeight, 3, toRgb(pixels, ddtest::surfaceDesc(target.get()).ddpfPixelFormat))));

    const std::uint64_t checksum = fnv1a(pixels);
    char text[32];
    std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(checksum));
    const auto expected = kExpectedChecksums.find(name);
    ASSERT_NE(expected, kExpectedChecksums.end()) << "no checksum kept for " << name << " (got " << text << ")";
    EXPECT_EQ(checksum, expected->second) << name << " got " << text;
}

std::vector<GoldenCase> everyModeAndLayout() {
    std::vector<GoldenCase> cases;
    for (Layout layout : {Layout::Rgb565, Layout::Rgb555, Layout::Xrgb32, Layout::Rgb24, Layout::Xrgb444})
        for (int blendMode : {0, 1, 2}) cases.push_back(GoldenCase{blendMode, layout});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeAndLayout, GoldenSceneTest, ::testing::ValuesIn(everyModeAndLayout()),
    [](const ::testing::TestParamInfo<GoldenCase>& param) {
        return "blend" + std::to_string(param.param.blendMode) + "_" + layoutName(param.param.layout);
    });

}  // namespace
