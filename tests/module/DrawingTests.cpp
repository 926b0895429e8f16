// Quads drawn onto DirectDraw surfaces, checked pixel by pixel against values computed here
// from the drawing rules: z order, the two render modes, copies, keys, tints and blends.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "DisplayLayout.h"
#include "blend/BlendKernels.h"
#include "blend/CpuFeatures.h"
#include "support/SceneFixture.h"

using namespace ZelUISystem;
using moduletest::SceneFormat;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr DWORD kBackground32 = 0x00102030u;

RECT rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

std::uint32_t withAlpha(std::uint32_t colour, std::uint32_t alpha) { return (colour & 0xFFFFFFu) | alpha << 24; }

std::uint32_t channel(std::uint32_t value, int shift) { return (value >> shift) & 0xFF; }

// floor(x / 256) for negative x too.
std::int32_t floorDiv256(std::int32_t x) { return x >= 0 ? x / 256 : -((-x + 255) / 256); }

// A 32-bit pixel blended by the colour-modulated kernel: per channel s' = floor(s * f / 256),
// out = d + floor((s' - d) * a / 256); the top byte becomes 0.
std::uint32_t colourBlend32(std::uint32_t s, std::uint32_t d, std::uint32_t a, std::uint32_t factors) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::int32_t sp = static_cast<std::int32_t>(channel(s, shift) * channel(factors, shift) / 256);
        const std::int32_t dc = static_cast<std::int32_t>(channel(d, shift));
        out |= static_cast<std::uint32_t>(dc + floorDiv256((sp - dc) * static_cast<std::int32_t>(a))) << shift;
    }
    return out;
}

// A 32-bit pixel of a pair blended by the MMX alpha kernel: d + floor(s a / 256) - floor(d a / 256)
// per channel, the destination's top byte kept.
std::uint32_t alphaPair32(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    std::uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= (channel(d, shift) + channel(s, shift) * a / 256 - channel(d, shift) * a / 256) << shift;
    return out;
}

std::uint32_t half32(std::uint32_t s, std::uint32_t d) {
    return ((d >> 1) & 0x7F7F7Fu) + (((s & 0xFFFFFFu) >> 1) & 0x7F7F7Fu);
}

class DrawingTest : public moduletest::SceneFixture {};

TEST_F(DrawingTest, QueueDrawsLargestZFirstAndKeepsSubmissionOrderForTies) {
    buildScene(0, SceneFormat::Xrgb32, 32, 8, kBackground32);
    CDD7Texture* q1 = solidTexture(10, 4, 200, 0, 0);
    CDD7Texture* q2 = solidTexture(10, 4, 0, 200, 0);
    CDD7Texture* q3 = solidTexture(10, 4, 0, 0, 200);
    submit(q1, rect(5, 0, 15, 4), rect(0, 0, 10, 4), kWhite, 0.5f);
    submit(q2, rect(0, 0, 10, 4), rect(0, 0, 10, 4), kWhite, 0.9f);
    submit(q3, rect(10, 0, 20, 4), rect(0, 0, 10, 4), kWhite, 0.5f);
    EXPECT_EQ(renderer->queuedQuadCount(), 3u);
    renderer->renderQueue();
    // Drawn Q2, Q1, Q3: each later one covers the earlier where they overlap.
    EXPECT_EQ(targetPixel(2, 1), rgbValue(0, 200, 0));
    EXPECT_EQ(targetPixel(7, 1), rgbValue(200, 0, 0));
    EXPECT_EQ(targetPixel(12, 1), rgbValue(0, 0, 200));
    EXPECT_EQ(targetPixel(19, 3), rgbValue(0, 0, 200));
    EXPECT_EQ(targetPixel(25, 1), kBackground32);
    EXPECT_EQ(targetPixel(2, 5), kBackground32);
    EXPECT_EQ(renderer->queuedQuadCount(), 0u);
}

TEST_F(DrawingTest, CompositionModeKeepsThePictureUntilDiscarded) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8, kBackground32);
    CDD7Texture* red = solidTexture(4, 4, 255, 0, 0);
    CDD7Texture* blue = solidTexture(4, 4, 0, 0, 255);
    submit(red, rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    renderer->renderQueue();
    ASSERT_EQ(ddtest::colorFill(target.get(), nullptr, kBackground32), DD_OK);
    renderer->renderQueue();  // nothing queued: the same picture is presented again
    EXPECT_EQ(targetPixel(1, 1), rgbValue(255, 0, 0));

    // New quads are drawn over the existing picture.
    submit(blue, rect(2, 0, 6, 4), rect(0, 0, 4, 4), kWhite, 5.0f);
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(1, 1), rgbValue(255, 0, 0));
    EXPECT_EQ(targetPixel(3, 1), rgbValue(0, 0, 255));

    // Discarded: the composition is black, which the keyed present leaves out.
    renderer->discardQueue();
    ASSERT_EQ(ddtest::colorFill(target.get(), nullptr, kBackground32), DD_OK);
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(1, 1), kBackground32);
    EXPECT_EQ(targetPixel(3, 1), kBackground32);
}

TEST_F(DrawingTest, CompositionWithoutTargetDrawsAndPresentsLater) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8, kBackground32);
    renderer->setTargetSurface(nullptr);
    submit(solidTexture(4, 4, 9, 99, 199), rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    renderer->renderQueue();
    EXPECT_EQ(renderer->queuedQuadCount(), 0u);
    EXPECT_EQ(targetPixel(0, 0), kBackground32);
    renderer->setTargetSurface(target.get());
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(0, 0), rgbValue(9, 99, 199));
}

TEST_F(DrawingTest, DirectModeRedrawsTheQueueAtEveryPass) {
    buildScene(2, SceneFormat::Xrgb32, 16, 8, kBackground32);
    CDD7Texture* texture = solidTexture(4, 4, 200, 100, 50);
    const std::uint32_t source = rgbValue(200, 100, 50);
    submit(texture, rect(0, 0, 4, 4), rect(0, 0, 4, 4), withAlpha(kWhite, 128));
    renderer->renderQueue();
    const std::uint32_t once = alphaPair32(source, kBackground32, 128);
    EXPECT_EQ(targetPixel(1, 1), once);
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(1, 1), alphaPair32(source, once, 128));
    EXPECT_EQ(renderer->queuedQuadCount(), 1u);
    renderer->discardQueue();
    EXPECT_EQ(renderer->queuedQuadCount(), 0u);
}

TEST_F(DrawingTest, QueueingOffDrawsAtOnceAndKeepsNothing) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8, kBackground32);
    CDD7Texture* texture = solidTexture(4, 4, 1, 2, 3);
    submit(texture, rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);  // queued
    renderer->setQueueing(false);
    EXPECT_FALSE(renderer->isQueueing());
    submit(texture, rect(8, 0, 12, 4), rect(0, 0, 4, 4), kWhite);
    EXPECT_EQ(targetPixel(9, 1), rgbValue(1, 2, 3));  // straight onto the target
    EXPECT_EQ(targetPixel(1, 1), kBackground32);       // the queued one waits for the pass
    EXPECT_EQ(renderer->queuedQuadCount(), 1u);
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(1, 1), rgbValue(1, 2, 3));

    renderer->setTargetSurface(nullptr);
    submit(texture, rect(4, 4, 8, 8), rect(0, 0, 4, 4), kWhite);
    EXPECT_EQ(renderer->queuedQuadCount(), 0u);
}

TEST_F(DrawingTest, AverageAlphaZeroHidesTheQuadInEveryMode) {
    for (int blendMode : {0, 1, 2}) {
        buildScene(blendMode, SceneFormat::Xrgb32, 8, 8, kBackground32);
        renderer->setQueueing(false);
        CDD7Texture* texture = solidTexture(4, 4, 255, 255, 255);
        renderer->submitQuad(FloatRect{0, 0, 4, 4}, 0, texture, FloatRect{0, 0, 4, 4},
                             CornerColours{{0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu, 0x03FFFFFFu}}, 0);
        EXPECT_EQ(targetPixel(1, 1), kBackground32) << "blend mode " << blendMode;
    }
}

TEST_F(DrawingTest, BlendModeZeroCopiesTranslucentQuadsOpaquely) {
    buildScene(0, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    submit(solidTexture(4, 4, 10, 20, 30), rect(0, 0, 4, 4), rect(0, 0, 4, 4), withAlpha(kWhite, 128));
    EXPECT_EQ(targetPixel(3, 3), rgbValue(10, 20, 30));
}

TEST_F(DrawingTest, WhiteTranslucentQuadsUseHalfOrAlphaByBlendMode) {
    const std::uint32_t source = 0xFF000000u | 200u << 16 | 100u << 8 | 50u;
    for (int blendMode : {1, 2}) {
        buildScene(blendMode, SceneFormat::Xrgb32, 8, 8, kBackground32);
        renderer->setQueueing(false);
        submit(solidTexture(3, 2, 200, 100, 50), rect(1, 1, 4, 3), rect(0, 0, 3, 2), withAlpha(kWhite, 64));
        if (blendMode == 1) {
            EXPECT_EQ(targetPixel(1, 1), half32(source, kBackground32));
            EXPECT_EQ(targetPixel(3, 2), half32(source, kBackground32));
        } else {
            EXPECT_EQ(targetPixel(1, 1), alphaPair32(source, kBackground32, 64));
            // The odd last pixel of a row rounds its own way and loses its top byte.
            std::uint32_t expected = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const std::int32_t s = static_cast<std::int32_t>(channel(source, shift));
                const std::int32_t d = static_cast<std::int32_t>(channel(kBackground32, shift));
                expected |= static_cast<std::uint32_t>(d + floorDiv256((s - d) * 64)) << shift;
            }
            EXPECT_EQ(targetPixel(3, 2), expected);
        }
        EXPECT_EQ(targetPixel(0, 0), kBackground32);
        EXPECT_EQ(targetPixel(4, 1), kBackground32);
    }
}

TEST_F(DrawingTest, ColouredQuadsAreMultipliedAndMixedWithTheirAlpha) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    const std::uint32_t source = 0xFF000000u | 240u << 16 | 120u << 8 | 60u;
    // A gradient of corners: the flat colour is the floor of their mean.
    renderer->submitQuad(FloatRect{0, 0, 2, 2}, 0, solidTexture(2, 2, 240, 120, 60), FloatRect{0, 0, 2, 2},
                         CornerColours{{0xC0FF8000u, 0xC0FF8000u, 0xC0808001u, 0xC0808000u}}, 0);
    // Mean: a 0xC0, r (255+255+128+128)/4 = 191, g 128, b 0 (1/4 = 0).
    EXPECT_EQ(targetPixel(1, 1), colourBlend32(source, kBackground32, 0xC0, 191u << 16 | 128u << 8 | 0u));
}

TEST_F(DrawingTest, OpaqueWhiteQuadsAreCopiedEvenWhenBlending) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    submit(solidTexture(4, 4, 7, 8, 9), rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    EXPECT_EQ(targetPixel(2, 2), rgbValue(7, 8, 9));
}

TEST_F(DrawingTest, AlphaTexturesAreKeyedAndStretchedThroughTheScratch) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8, kBackground32);
    renderer->setQueueing(false);
    // 2x1 RGBA: an opaque red pixel and a transparent one.
    CDD7Texture* texture = textureFromPixels({255, 0, 0, 255, 0, 255, 0, 0}, 2, 1, TEXFMT_RGBA);
    submit(texture, rect(0, 0, 2, 1), rect(0, 0, 2, 1), kWhite);
    EXPECT_EQ(targetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(targetPixel(1, 0), kBackground32);
    // Stretched 2x1 -> 6x2 by DirectDraw's rule: source column (d * ((2 << 16) / 6)) >> 16,
    // which gives 0, 0, 0, 0, 1, 1.
    submit(texture, rect(4, 2, 10, 4), rect(0, 0, 2, 1), kWhite);
    for (LONG x = 4; x < 8; ++x) EXPECT_EQ(targetPixel(x, 3), 0xFFFF0000u) << x;
    for (LONG x = 8; x < 10; ++x) EXPECT_EQ(targetPixel(x, 3), kBackground32) << x;
}

TEST_F(DrawingTest, OpaqueTexturesAreCopiedWithoutKeyStretchedOrNot) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8, kBackground32);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({0, 0, 0, 9, 9, 9}, 2, 1, TEXFMT_RGB);
    submit(texture, rect(0, 0, 2, 1), rect(0, 0, 2, 1), kWhite);
    EXPECT_EQ(targetPixel(0, 0), 0xFF000000u);  // black is copied: no key
    submit(texture, rect(0, 2, 4, 3), rect(0, 0, 2, 1), kWhite);
    EXPECT_EQ(targetPixel(1, 2), 0xFF000000u);
    EXPECT_EQ(targetPixel(2, 2), rgbValue(9, 9, 9));
}

TEST_F(DrawingTest, Rgb565InMemoryTextureIsTintedRed) {
    buildScene(0, SceneFormat::Rgb565, 8, 4, 0x1234);
    renderer->setQueueing(false);
    // White, black and a colour.
    CDD7Texture* texture =
        textureFromPixels({255, 255, 255, 0, 0, 0, 0, 255, 0}, 3, 1, TEXFMT_RGB, /*inMemory=*/true);
    renderer->submitQuad(FloatRect{1, 1, 4, 2}, 0, texture, FloatRect{0, 0, 3, 1},
                         CornerColours{{0x80FF0000u, 0x80FF0000u, 0x80FF0000u, 0x80FF0000u}}, 0);
    EXPECT_EQ(targetPixel(1, 1), 0xF800u);            // white takes the tint
    EXPECT_EQ(targetPixel(2, 1), 0x1234u);            // black leaves the destination
    EXPECT_EQ(targetPixel(3, 1), rgbValue(0, 255, 0)); // other pixels are copied
    EXPECT_EQ(targetPixel(0, 1), 0x1234u);
}

TEST_F(DrawingTest, Rgb32InMemoryTextureIsTintedOnItsColourBits) {
    buildScene(0, SceneFormat::Xrgb32, 8, 4, kBackground32);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({255, 255, 255, 0, 0, 0, 1, 2, 3}, 3, 1, TEXFMT_RGB, true);
    submit(texture, rect(0, 0, 3, 1), rect(0, 0, 3, 1), 0xFF204060u);
    EXPECT_EQ(targetPixel(0, 0), 0x00204060u);  // white takes the tint (a fill leaves X bits 0)
    EXPECT_EQ(targetPixel(1, 0), kBackground32);       // black is left out
    EXPECT_EQ(targetPixel(2, 0), rgbValue(1, 2, 3));
}

TEST_F(DrawingTest, TintIsSkippedForWhiteAndBlackTintHidesWhitePixels) {
    buildScene(0, SceneFormat::Rgb555, 8, 4, 0x1234);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({255, 255, 255, 0, 255, 0}, 2, 1, TEXFMT_RGB, true);
    submit(texture, rect(0, 0, 2, 1), rect(0, 0, 2, 1), kWhite);
    EXPECT_EQ(targetPixel(0, 0), 0x7FFFu);
    // Any colour below 8 in every channel fills 0 in 555: the white pixels vanish.
    submit(texture, rect(0, 2, 2, 3), rect(0, 0, 2, 1), 0xFF070707u);
    EXPECT_EQ(targetPixel(0, 2), 0x1234u);
    EXPECT_EQ(targetPixel(1, 2), rgbValue(0, 255, 0));
}

TEST_F(DrawingTest, QuadsOutsideThePresentRectangleAreSkippedInDirectMode) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    CDD7Texture* texture = solidTexture(4, 4, 1, 1, 1);
    submit(texture, rect(8, 0, 12, 4), rect(0, 0, 4, 4), kWhite);  // wholly outside
    submit(texture, rect(6, 0, 10, 4), rect(0, 0, 4, 4), kWhite);  // partly: DirectDraw refuses it
    EXPECT_EQ(targetPixel(7, 1), kBackground32);
}

TEST_F(DrawingTest, HostileRectanglesAndTexturesDrawNothingAndNeverCrash) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    CDD7Texture* texture = solidTexture(4, 4, 1, 1, 1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (bool queueing : {true, false}) {
        renderer->setQueueing(queueing);
        for (FloatRect r : {FloatRect{nan, nan, nan, nan}, FloatRect{-inf, -inf, inf, inf},
                            FloatRect{-3e9f, -3e9f, 3e9f, 3e9f}, FloatRect{4, 4, 2, 2}, FloatRect{2, 2, 2, 2}}) {
            renderer->submitQuad(r, nan, texture, r, CornerColours{{0x80123456u, kWhite, 0, 0x7F000000u}}, 0);
            renderer->submitQuad(r, 0, texture, FloatRect{0, 0, 4, 4}, CornerColours{{kWhite, kWhite, kWhite, kWhite}}, 0);
        }
        // Not a texture of this renderer at all: never dereferenced.
        alignas(16) static unsigned char notATexture[256] = {};
        Texture* bogus = reinterpret_cast<Texture*>(notATexture);
        renderer->submitQuad(FloatRect{0, 0, 4, 4}, 0, bogus, FloatRect{0, 0, 4, 4},
                             CornerColours{{kWhite, kWhite, kWhite, kWhite}}, 0);
        renderer->renderQueue();
    }
    renderer->discardQueue();
    EXPECT_EQ(targetPixel(0, 0), kBackground32);
}

TEST_F(DrawingTest, ReleasedTexturesLeaveTheQueue) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    CDD7Texture* kept = solidTexture(4, 4, 5, 5, 5);
    CDD7Texture* released = solidTexture(4, 4, 6, 6, 6);
    submit(kept, rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    submit(released, rect(4, 0, 8, 4), rect(0, 0, 4, 4), kWhite);
    renderer->releaseTexture(released);
    EXPECT_EQ(renderer->queuedQuadCount(), 1u);
    renderer->renderQueue();
    EXPECT_EQ(targetPixel(1, 1), rgbValue(5, 5, 5));
    EXPECT_EQ(targetPixel(5, 1), kBackground32);
    renderer->releaseAllTextures();
    EXPECT_EQ(renderer->queuedQuadCount(), 0u);
    renderer->renderQueue();
}

TEST_F(DrawingTest, TexturesWithoutPictureOrLayoutAreHandled) {
    buildScene(2, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    // A sized texture has no surface: rebuilding finds nothing, the quad is skipped.
    submit(renderer->createTexture(8.0f), rect(0, 0, 4, 4), rect(0, 0, 4, 4), withAlpha(kWhite, 100));
    // A blank surface never uploaded has no known layout: blending refuses it, copying does not.
    CDD7Texture* blank = asTexture(renderer->createTexture());
    blank->CreateBlankSurface(4, 4);
    ASSERT_EQ(ddtest::colorFill(blank->surface(), nullptr, 0x00ABCDEFu), DD_OK);
    submit(blank, rect(0, 0, 4, 4), rect(0, 0, 4, 4), withAlpha(kWhite, 100));
    EXPECT_EQ(targetPixel(1, 1), kBackground32);
    submit(blank, rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    EXPECT_EQ(targetPixel(1, 1) & 0xFFFFFFu, 0xABCDEFu);
}

// A host whose textures and target do not share one layout (textures in another layout than
// the target, or a target of its own in another layout than the display's 32 bits): a kernel
// would walk the target with the texture's pixel size and read or write past its rows. Such
// quads are not blended, the target keeps every byte, and the first one is reported once.
struct LayoutMismatch {
    const char* what;
    int texturePixelFormat;  // the device's answer: 565, 555, or 0 for the display's
    ddtest::TestDisplayFormat target;
};

constexpr LayoutMismatch kLayoutMismatches[] = {
    {"565 textures, host's 8-bit target", 565, ddtest::TestDisplayFormat::Palettized8},
    {"565 textures, 32-bit target of the display's layout", 565, ddtest::TestDisplayFormat::Xrgb32},
    {"555 textures, host's 565 target", 555, ddtest::TestDisplayFormat::Rgb565},
    {"32-bit textures, host's 565 target", 0, ddtest::TestDisplayFormat::Rgb565},
    {"32-bit textures, host's 24-bit target", 0, ddtest::TestDisplayFormat::Rgb24},
    {"565 textures, host's 24-bit target", 565, ddtest::TestDisplayFormat::Rgb24},
};

TEST_F(DrawingTest, QuadsAreNeverBlendedOntoATargetOfAnotherLayout) {
    const std::string report = "log 1 with alpha blend source and destination pixel formats differ";
    for (const LayoutMismatch& c : kLayoutMismatches) {
        for (int blendMode : {1, 2}) {
            SCOPED_TRACE(std::string(c.what) + ", blend mode " + std::to_string(blendMode));
            renderer.reset();
            target.reset();
            moduletest::resetLogging();
            enableLogging(1);
            device.blendMode = blendMode;
            device.texturePixelFormat = c.texturePixelFormat;
            device.width = 16.0f;
            device.height = 8.0f;
            renderer = makeRenderer();
            target.reset(ddtest::createTestSurface(directDraw.get(), 16, 8, ddtest::pixelFormatOf(c.target)));
            ASSERT_NE(target, nullptr);
            ddtest::fillBytes(target.get(), 0x5A);
            const std::vector<std::uint8_t> before = ddtest::readBytes(target.get());
            renderer->setTargetSurface(target.get());
            renderer->setQueueing(false);

            CDD7Texture* texture = solidTexture(5, 3, 200, 100, 50);
            for (std::uint32_t colour : {0x80FFFFFFu, 0xC0FF8040u, 0xFF204060u})
                for (LONG width : {1, 2, 3, 4, 5})
                    submit(texture, rect(16 - width, 5, 16, 8), rect(0, 0, width, 3), colour);
            EXPECT_EQ(ddtest::readBytes(target.get()), before);
            const std::vector<std::string> logged = moduletest::recordedCalls("log");
            EXPECT_EQ(std::count(logged.begin(), logged.end(), report + "(-2005532527)"), 1);
        }
    }
}

// Every drawable layout, drawn by whichever kernels the selector chose at the forced level:
// each blended quad writes exactly the bytes the reference kernel writes for it, at every
// width from the single-pixel code to past the widest register's loop.
struct DrawnLayout {
    const char* name;
    SceneFormat scene;                      // 565 and 555: the device's texture format answer
    std::optional<DDPIXELFORMAT> display;  // else the display's layout (32-bit when absent)
};

const DrawnLayout kDrawnLayouts[] = {
    {"565", SceneFormat::Rgb565, std::nullopt},
    {"555", SceneFormat::Rgb555, std::nullopt},
    {"32", SceneFormat::Xrgb32, std::nullopt},
    {"24", SceneFormat::Xrgb32, softddraw::rgb24Format()},
    {"444", SceneFormat::Xrgb32, softddraw::rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F)},
};

// RGB bytes of a row of varied colours, every fifth pixel black (transparent once uploaded).
std::vector<std::uint8_t> variedRgb(std::uint32_t count) {
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i % 5 == 3) pixels.insert(pixels.end(), {0, 0, 0});
        else pixels.insert(pixels.end(), {static_cast<std::uint8_t>(i * 37 + 11), static_cast<std::uint8_t>(i * 91 + 200),
                                          static_cast<std::uint8_t>(i * 53 + 90)});
    }
    return pixels;
}

// The surface's bytes with the description Lock would give for the rectangle at (x, y).
struct SurfaceCopy {
    std::vector<std::uint8_t> bytes;
    DDSURFACEDESC2 desc;

    SurfaceCopy(IDirectDrawSurface7* surface, DWORD x, DWORD y)
        : bytes(ddtest::readBytes(surface)), desc(ddtest::surfaceDesc(surface)) {
        const DWORD bytesPerPixel = desc.ddpfPixelFormat.dwRGBBitCount / 8;
        desc.lpSurface = bytes.data() + y * static_cast<std::size_t>(desc.lPitch) + x * bytesPerPixel;
    }
};

// What the reference kernel of the quad's operation writes: white translucent quads mix half and
// half (blend mode 1) or by alpha (blend mode 2), coloured ones are multiplied and mixed.
std::vector<std::uint8_t> referenceBlend(IDirectDrawSurface7* texture, IDirectDrawSurface7* target, RECT at,
                                         std::uint32_t mode, int blendMode, std::uint32_t colour) {
    SurfaceCopy source(texture, 0, 0);
    SurfaceCopy destination(target, static_cast<DWORD>(at.left), static_cast<DWORD>(at.top));
    const RECT size{0, 0, at.right - at.left, at.bottom - at.top};
    const int alpha = static_cast<int>(colour >> 24);
    if ((colour & 0xFFFFFFu) != 0xFFFFFFu)
        BlendColorAlpha(&source.desc, &destination.desc, 0, 0, &size, alpha, mode, channel(colour, 16),
                        channel(colour, 8), channel(colour, 0));
    else if (blendMode == 1)
        BlendHalfMMX(&source.desc, &destination.desc, 0, 0, &size, mode);
    else
        BlendAlphaMMX(&source.desc, &destination.desc, 0, 0, &size, alpha, mode);
    return destination.bytes;
}

TEST_F(DrawingTest, EveryLayoutBlendsAsItsReferenceKernelAtTheForcedLevel) {
    constexpr DWORD kTargetWidth = 40, kTargetHeight = 6;
    constexpr LONG kWidest = 37;
    for (const DrawnLayout& layout : kDrawnLayouts) {
        for (int blendMode : {1, 2}) {
            SCOPED_TRACE(std::string(layout.name) + ", blend mode " + std::to_string(blendMode));
            renderer.reset();
            target.reset();
            if (layout.display) {
                directDraw.reset(moduletest::createDirectDrawShowing(*layout.display));
                ASSERT_NE(directDraw, nullptr);
                device.directDraw = directDraw.get();
            }
            buildScene(blendMode, layout.scene, kTargetWidth, kTargetHeight);
            renderer->setQueueing(false);
            std::vector<DWORD> background(kTargetWidth * kTargetHeight);
            for (std::size_t i = 0; i < background.size(); ++i) background[i] = static_cast<DWORD>(i * 2654435761u >> 3);
            const DWORD bits = ddtest::surfaceDesc(target.get()).ddpfPixelFormat.dwRGBBitCount;
            for (DWORD& v : background) v &= bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
            ddtest::writePixels(target.get(), background);

            CDD7Texture* texture = textureFromPixels(variedRgb(kWidest * 3), kWidest, 3, TEXFMT_RGB);
            ASSERT_EQ(ddtest::surfaceDesc(texture->surface()).ddpfPixelFormat.dwRGBBitCount, bits);
            for (std::uint32_t colour : {0x80FFFFFFu, 0xC0FF8040u, 0xFF204060u})
                for (LONG width = 1; width <= kWidest; ++width) {
                    const RECT at = rect(2, 1 + width % 3, 2 + width, 4 + width % 3);
                    const std::vector<std::uint8_t> expected =
                        referenceBlend(texture->surface(), target.get(), at, texture->rgbMode(), blendMode, colour);
                    submit(texture, at, rect(0, 0, width, 3), colour);
                    const std::vector<std::uint8_t> drawn = ddtest::readBytes(target.get());
                    ASSERT_EQ(drawn.size(), expected.size());
                    const auto differ = std::mismatch(drawn.begin(), drawn.end(), expected.begin());
                    ASSERT_TRUE(differ.first == drawn.end())
                        << "colour " << std::hex << colour << ", width " << std::dec << width << ": byte "
                        << (differ.first - drawn.begin()) << " is " << int{*differ.first} << ", the reference kernel writes "
                        << int{*differ.second};
                }
        }
    }
}

// The drawing tests run once per forced kernel level (DD7R_CPU): the level asked for is the one
// the kernels run at, as far as the processor has it.
TEST_F(DrawingTest, KernelsRunAtTheForcedLevel) {
    const blend::SimdLevel best = blend::bestLevelOf(blend::processorFeatures());
    blend::SimdLevel forced = best;
    if (!blend::parseSimdLevel(std::getenv("DD7R_CPU"), forced)) forced = best;
    EXPECT_EQ(blend::kernelLevel(), std::min(forced, best)) << blend::simdLevelName(blend::kernelLevel());
}

TEST_F(DrawingTest, LostTexturesAreRestoredBeforeDrawing) {
    device.surfaceMemory = 2;  // surfaces DirectDraw places itself can be lost
    buildScene(0, SceneFormat::Xrgb32, 8, 8, kBackground32);
    renderer->setQueueing(false);
    CDD7Texture* texture = solidTexture(4, 4, 3, 4, 5);
    ddtest::loseAllSurfaces(directDraw.get());
    EXPECT_EQ(texture->surface()->IsLost(), DDERR_SURFACELOST);
    submit(texture, rect(0, 0, 4, 4), rect(0, 0, 4, 4), kWhite);
    EXPECT_EQ(texture->surface()->IsLost(), DD_OK);
    EXPECT_EQ(targetPixel(1, 1), rgbValue(3, 4, 5));
}

}  // namespace
