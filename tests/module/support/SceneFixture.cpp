#include "support/SceneFixture.h"

#include <optional>

namespace moduletest {

using namespace ZelUISystem;

namespace {

int texturePixelFormatAnswer(SceneFormat format) {
    switch (format) {
        case SceneFormat::Rgb565: return 565;
        case SceneFormat::Rgb555: return 555;
        default: return 0;
    }
}

std::optional<DDPIXELFORMAT> targetFormat(SceneFormat format) {
    switch (format) {
        case SceneFormat::Rgb565: return ddtest::pixelFormatOf(ddtest::TestDisplayFormat::Rgb565);
        case SceneFormat::Rgb555: return ddtest::pixelFormatOf(ddtest::TestDisplayFormat::Rgb555);
        default: return std::nullopt;
    }
}

}  // namespace

void SceneFixture::buildScene(int blendMode, SceneFormat format, DWORD width, DWORD height,
                              DWORD background) {
    sceneFormat = format;
    device.blendMode = blendMode;
    device.texturePixelFormat = texturePixelFormatAnswer(format);
    device.width = static_cast<float>(width);
    device.height = static_cast<float>(height);
    renderer = makeRenderer();
    target.reset(ddtest::createTestSurface(directDraw.get(), width, height, targetFormat(format)));
    ASSERT_NE(target, nullptr);
    ASSERT_EQ(ddtest::colorFill(target.get(), nullptr, background), DD_OK);
    renderer->setTargetSurface(target.get());
}

void SceneFixture::TearDown() {
    renderer.reset();
    target.reset();
    RendererFixture::TearDown();
}

CDD7Texture* SceneFixture::textureFromPixels(const std::vector<std::uint8_t>& pixels,
                                             std::uint32_t width, std::uint32_t height,
                                             TextureFormat format, bool inMemory) {
    auto* texture = asTexture(renderer->createTexture());
    texture->inMemory = inMemory;
    texture->loadFromMemory(pixels.data(), width, height, format);
    return texture;
}

CDD7Texture* SceneFixture::solidTexture(std::uint32_t width, std::uint32_t height, std::uint8_t r,
                                        std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {r, g, b});
    return textureFromPixels(pixels, width, height, TEXFMT_RGB);
}

void SceneFixture::submit(Texture* texture, RECT dest, RECT source, std::uint32_t colour, float z) {
    auto f = [](LONG v) { return static_cast<float>(v); };
    renderer->submitQuad(FloatRect{f(dest.left), f(dest.top), f(dest.right), f(dest.bottom)}, z,
                         texture,
                         FloatRect{f(source.left), f(source.top), f(source.right), f(source.bottom)},
                         CornerColours{{colour, colour, colour, colour}}, 0);
}

DWORD SceneFixture::rgbValue(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
    switch (sceneFormat) {
        case SceneFormat::Rgb565: return static_cast<DWORD>(r >> 3) << 11 | static_cast<DWORD>(g >> 2) << 5 | static_cast<DWORD>(b >> 3);
        case SceneFormat::Rgb555: return static_cast<DWORD>(r >> 3) << 10 | static_cast<DWORD>(g >> 3) << 5 | static_cast<DWORD>(b >> 3);
        default: return 0xFF000000u | DWORD{r} << 16 | DWORD{g} << 8 | b;
    }
}

}  // namespace moduletest
