#include "scene/UiScene.h"

#include "scene/QuadPainter.h"
#include "skin/SkinImages.h"

#include <string>

namespace dd7rdemo {

namespace {

// Depth bands, nearest first: tooltip, status bar, settings window, message panel, inventory
// window, background. Each element of a band sits a little nearer than the band's base.
constexpr float kTooltipZ = 10.0f;
constexpr float kStatusBarZ = 20.0f;
constexpr float kSettingsZ = 30.0f;
constexpr float kMessagesZ = 40.0f;
constexpr float kInventoryZ = 50.0f;
constexpr float kBackgroundZ = 100.0f;

const Colour kWhite{255, 255, 255, 255};
const Colour kTitleInk{255, 236, 190, 255};
const Colour kButtonColours[3] = {{90, 140, 220, 255},    // normal
                                  {130, 190, 255, 255},   // hover
                                  {50, 90, 170, 255}};    // pressed
enum ButtonState { kNormal = 0, kHover = 1, kPressed = 2 };

constexpr int kLineHeight = 11;
constexpr int kTitleBarHeight = 22;

struct Scene {
    QuadPainter& paint;
    const SkinTextures& skin;
    const SceneState& state;
};


void window(Scene& s, PixelRect frame, const std::string& title, float z, Colour tint) {
    s.paint.nineSlice(s.skin.panel, kPanelSize, kPanelCorner, frame, z + 0.9f, tint);
    s.paint.image(s.skin.titleBar,
                  {frame.left + 3, frame.top + 3, frame.right - 3, frame.top + 3 + kTitleBarHeight},
                  {0, 0, 16, 16}, z + 0.8f, kWhite);
    s.paint.text(frame.left + 10, frame.top + 6, title, z + 0.7f, kTitleInk, 2);
}

void statusBar(Scene& s) {
    const int width = static_cast<int>(s.state.width);
    // Four corner colours: the renderer draws their average, one flat colour.
    const Colour corners[4] = {{16, 24, 60, 210}, {40, 24, 70, 210}, {16, 24, 60, 190}, {40, 24, 70, 190}};
    s.paint.image(s.skin.whiteBlock, {0, 0, width, 20}, {0, 0, 8, 8}, kStatusBarZ + 0.9f, corners);
    const std::string left = "dd7r demo | format " + s.state.formatName + " | blend " +
                             std::to_string(s.state.blendMode);
    const std::string right = "frame " + std::to_string(s.state.frame + 1) + "/" +
                              std::to_string(s.state.frames);
    s.paint.text(8, 6, left, kStatusBarZ, kWhite);
    s.paint.text(width - 8 - static_cast<int>(right.size()) * kFontGlyphWidth, 6, right,
                 kStatusBarZ, {255, 220, 120, 255});
}

void meter(Scene& s, PixelRect r, unsigned filled, unsigned total, float z) {
    s.paint.image(s.skin.whiteBlock, r, {0, 0, 8, 8}, z + 0.2f, {60, 24, 24, 255});
    const int fill = r.width() * static_cast<int>(filled) / static_cast<int>(total);
    s.paint.image(s.skin.whiteBlock, {r.left, r.top, r.left + fill, r.bottom}, {0, 0, 8, 8},
                  z + 0.1f, {230, 70, 60, 255});
}

void inventoryWindow(Scene& s, PixelRect frame) {
    const float z = kInventoryZ;
    window(s, frame, "Inventory", z, kWhite);
    const char* counts[kIconCount] = {"x7", "x250", "x3", "x1"};
    for (int i = 0; i < kIconCount; ++i) {
        const int x = frame.left + 16 + i * 60;
        const int y = frame.top + 38;
        s.paint.image(s.skin.icons, {x, y, x + kIconSize, y + kIconSize},
                      {i * kIconSize, 0, (i + 1) * kIconSize, kIconSize}, z + 0.5f, kWhite);
        s.paint.text(x + 28, y + 9, counts[i], z + 0.4f, kWhite);
    }
    // The logo twice its size: a stretched picture with an alpha channel.
    s.paint.image(s.skin.logo, {frame.left + 16, frame.top + 76, frame.left + 144, frame.top + 140},
                  {0, 0, 64, 32}, z + 0.5f, kWhite);
    s.paint.text(frame.left + 156, frame.top + 82, "Level 12", z + 0.4f, kWhite);
    s.paint.text(frame.left + 156, frame.top + 96, "Gold 1250", z + 0.4f, {255, 220, 90, 255});
    s.paint.text(frame.left + 156, frame.top + 110, "Gems 7", z + 0.4f, {255, 140, 220, 255});
    s.paint.text(frame.left + 16, frame.top + 154, "Health", z + 0.4f, kWhite);
    meter(s, {frame.left + 16, frame.top + 166, frame.right - 16, frame.top + 176},
          s.state.frame + 1, s.state.frames, z + 0.3f);
}

void button(Scene& s, PixelRect r, const std::string& label, ButtonState state, float z) {
    ZelUISystem::Texture* face = state == kPressed ? s.skin.buttonDown : s.skin.buttonUp;
    s.paint.image(face, r, {0, 0, 48, 16}, z + 0.2f, kButtonColours[state]);
    const int shift = state == kPressed ? 1 : 0;
    const int textX = r.left + (r.width() - static_cast<int>(label.size()) * kFontGlyphWidth) / 2;
    s.paint.text(textX + shift, r.top + (r.height() - kFontGlyphHeight) / 2 + shift, label, z + 0.1f,
                 kWhite);
}

void settingsWindow(Scene& s, PixelRect frame) {
    const float z = kSettingsZ;
    window(s, frame, "Settings", z, kWhite);
    const std::string lines[] = {
        "Display " + std::to_string(s.state.width) + "x" + std::to_string(s.state.height),
        "Pixel format " + s.state.formatName,
        "Blend mode " + std::to_string(s.state.blendMode),
        "Music volume 80%",
    };
    int y = frame.top + 38;
    for (const std::string& line : lines) {
        s.paint.text(frame.left + 14, y, line, z + 0.5f, kWhite);
        y += 14;
    }
    const char* labels[3] = {"Apply", "Cancel", "Help"};
    const int buttonTop = frame.bottom - 36;
    for (int i = 0; i < 3; ++i) {
        const auto state = static_cast<ButtonState>((s.state.frame + static_cast<unsigned>(i)) % 3);
        const int left = frame.left + 14 + i * 76;
        button(s, {left, buttonTop, left + 68, buttonTop + 22}, labels[i], state, z + 0.3f);
    }
}

void messagePanel(Scene& s, PixelRect frame) {
    const float z = kMessagesZ;
    // Translucent and tinted: blended with the picture behind in blend modes 1 and 2.
    s.paint.nineSlice(s.skin.panel, kPanelSize, kPanelCorner, frame, z + 0.9f, {200, 220, 255, 150});
    s.paint.text(frame.left + 10, frame.top + 8, "Messages", z + 0.7f, kTitleInk);
    static const char* const messages[] = {
        "[09:41] Welcome to dd7r!", "[09:42] Mira joined the party", "[09:42] You found 12 gold",
        "[09:43] Quest: The old tower", "[09:44] Oren: see you there", "[09:45] Level up! Level 12",
        "[09:45] New skill: Frost bolt", "[09:46] Mira: nice one", "[09:47] Inventory almost full",
        "[09:48] You found a gem", "[09:49] Night falls", "[09:50] Autosave complete",
    };
    const Colour inks[3] = {kWhite, {255, 220, 120, 255}, {150, 220, 255, 255}};
    const PixelRect clip{frame.left + 8, frame.top + 22, frame.right - 8, frame.bottom - 8};
    const int count = static_cast<int>(sizeof(messages) / sizeof(messages[0]));
    const int scroll = static_cast<int>(s.state.frame) * 5;
    for (int i = 0; i < count; ++i) {
        const int y = clip.top + i * kLineHeight - scroll;
        if (y + kFontGlyphHeight <= clip.top || y >= clip.bottom) continue;
        s.paint.text(clip.left + 2, y, messages[i], z + 0.5f, inks[i % 3], clip);
    }
}

void tooltip(Scene& s, int x, int y) {
    const std::string text = "Saves the settings";
    const int width = static_cast<int>(text.size()) * kFontGlyphWidth + 12;
    s.paint.image(s.skin.whiteBlock, {x, y, x + width, y + 18}, {0, 0, 8, 8}, kTooltipZ + 0.5f,
                  {24, 24, 36, 220});
    s.paint.text(x + 6, y + 5, text, kTooltipZ, {255, 250, 200, 255});
}

}  // namespace

void submitScene(ZelUISystem::Renderer& renderer, const SkinTextures& skin,
                 const SceneState& state) {
    QuadPainter paint(renderer, skin.font);
    Scene s{paint, skin, state};
    const int width = static_cast<int>(state.width);
    const int height = static_cast<int>(state.height);
    const PixelRect inventory{24, 40, 24 + 270, 40 + 190};
    const PixelRect settings{inventory.left + 190, inventory.top + 96, inventory.left + 190 + 250,
                             inventory.top + 96 + 168};
    // Submitted front to back on purpose: the renderer orders the quads by z.
    tooltip(s, settings.left + 30, settings.bottom - 6);
    statusBar(s);
    settingsWindow(s, settings);
    messagePanel(s, {width - 300, height - 160, width - 16, height - 16});
    inventoryWindow(s, inventory);
    s.paint.image(skin.background, {0, 0, width, height}, {0, 0, 320, 240}, kBackgroundZ, kWhite);
}

}  // namespace dd7rdemo
