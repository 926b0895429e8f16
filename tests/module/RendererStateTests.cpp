// Construction, display state, the texture registry and device resets of the renderer.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "support/FailureText.h"
#include "support/RendererFixture.h"

using namespace ZelUISystem;
using moduletest::recordedCalls;

namespace {

class RendererStateTest : public moduletest::RendererFixture {};

TEST_F(RendererStateTest, BlendModeFollowsTheDeviceOnlyWithMMX) {
    struct Case {
        int answer;
        int mmx;
        std::int32_t mode;
        bool composition;
    };
    for (const Case& c : {Case{0, 1, 0, true}, Case{1, 1, 1, false}, Case{2, 1, 2, false},
                          Case{7, 1, 2, false}, Case{-3, 1, 2, false}, Case{1, 0, 0, true},
                          Case{2, 0, 0, true}}) {
        overrideProcessorHasMMXForTesting(c.mmx);
        device.blendMode = c.answer;
        auto renderer = makeRenderer();
        EXPECT_EQ(renderer->currentBlendMode(), c.mode) << "answer " << c.answer << " mmx " << c.mmx;
        EXPECT_EQ(renderer->hasMMX(), c.mmx == 1);
        EXPECT_EQ(renderer->compositionSurface() != nullptr, c.composition);
        ASSERT_NE(renderer->scratchTexture(), nullptr);
        EXPECT_NE(renderer->scratchTexture()->surface(), nullptr);
    }
}

TEST_F(RendererStateTest, DisplaySizeIsTruncatedAndReportedAsFloats) {
    device.width = 800.9f;
    device.height = 600.2f;
    auto renderer = makeRenderer();
    EXPECT_EQ(renderer->getDisplayWidth(), 800.0f);
    EXPECT_EQ(renderer->getDisplayHeight(), 600.0f);
    EXPECT_EQ(renderer->getTextureSizeLimit(), 600u);
    float l = -1, t = -1, r = -1, b = -1;
    renderer->getDisplayRect(&l, &t, &r, &b);
    EXPECT_EQ(l, 0.0f);
    EXPECT_EQ(t, 0.0f);
    EXPECT_EQ(r, 800.0f);
    EXPECT_EQ(b, 600.0f);
    float w = 0, h = 0;
    renderer->getDisplaySize(&w, &h);
    EXPECT_EQ(w, 800.0f);
    EXPECT_EQ(h, 600.0f);
    EXPECT_EQ(renderer->getHorzDpi(), 96u);
    EXPECT_EQ(renderer->getVertDpi(), 96u);
    const RECT present = renderer->presentRectangle();
    EXPECT_EQ(present.right, 800);
    EXPECT_EQ(present.bottom, 600);
    EXPECT_EQ(renderer->idText(), "CDD7Render - DirectDraw 7 based renderer module");
    EXPECT_TRUE(renderer->isQueueing());
}

TEST_F(RendererStateTest, OwnTexturesAreListedAndDisplaySized) {
    device.blendMode = 0;
    auto renderer = makeRenderer();
    ASSERT_EQ(renderer->textures().size(), 2u);
    EXPECT_EQ(renderer->textures().front(), renderer->scratchTexture());
    EXPECT_EQ(renderer->textures().back(), renderer->compositionSurface());
    const DDSURFACEDESC2 desc = ddtest::surfaceDesc(renderer->scratchTexture()->surface());
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    DDCOLORKEY key{1, 1};
    EXPECT_EQ(renderer->compositionSurface()->surface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0u);
    EXPECT_EQ(renderer->scratchTexture()->getWidth(), 0u);
}

TEST_F(RendererStateTest, ResetWithTheSameSizeLogsOnlyTheResetLine) {
    enableLogging(4);
    auto renderer = makeRenderer();
    renderer->preD3DReset();
    EXPECT_EQ(renderer->scratchTexture(), nullptr);
    EXPECT_EQ(renderer->compositionSurface(), nullptr);
    renderer->preD3DReset();  // a second notification changes nothing
    bool changed = true;
    renderer->postD3DReset(&changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(recordedCalls("log"),
              std::vector<std::string>{"log 4 CDD7Render::postD3DReset (width 640.000000, height 480.000000)"});
    EXPECT_NE(renderer->scratchTexture(), nullptr);
    EXPECT_NE(renderer->compositionSurface(), nullptr);
}

TEST_F(RendererStateTest, ResetWithANewSizeRecreatesOwnTexturesAtThatSize) {
    enableLogging(4);
    auto renderer = makeRenderer();
    renderer->preD3DReset();
    device.width = 320.7f;
    device.height = 200.0f;
    bool changed = false;
    renderer->postD3DReset(&changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(recordedCalls("log"),
              (std::vector<std::string>{
                  "log 4 CDD7Render::setDisplaySize (width 320.000000, height 200.000000)",
                  "log 4 CDD7Render::postD3DReset (width 320.700012, height 200.000000)"}));
    EXPECT_EQ(renderer->getDisplayWidth(), 320.0f);
    EXPECT_EQ(renderer->getTextureSizeLimit(), 480u);  // fixed at construction
    const DDSURFACEDESC2 desc = ddtest::surfaceDesc(renderer->compositionSurface()->surface());
    EXPECT_EQ(desc.dwWidth, 320u);
    EXPECT_EQ(desc.dwHeight, 200u);
    EXPECT_EQ(renderer->presentRectangle().right, 320);
}

TEST_F(RendererStateTest, ResetWithoutPreviousPreResetOnlyRefreshesDirectDraw) {
    auto renderer = makeRenderer();
    CDD7Texture* scratch = renderer->scratchTexture();
    const int queriesBefore = device.directDrawQueries;
    device.width = 100.0f;
    bool changed = true;
    renderer->postD3DReset(&changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(device.directDrawQueries, queriesBefore + 1);
    EXPECT_EQ(renderer->scratchTexture(), scratch);
    EXPECT_EQ(renderer->getDisplayWidth(), 640.0f);
}

TEST_F(RendererStateTest, ResetWithoutDirectDrawThrowsAndLeavesTheFlag) {
    enableLogging(1);
    auto renderer = makeRenderer();
    device.directDraw = nullptr;
    bool changed = true;
    try {
        renderer->postD3DReset(&changed);
        FAIL() << "postD3DReset did not throw";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "CDD7Render can't get the IDirectDraw7 device.");
    }
    EXPECT_TRUE(changed);
    EXPECT_EQ(recordedCalls("fatal"),
              std::vector<std::string>{"fatal 1 CDD7Render can't get the IDirectDraw7 device."});
    device.directDraw = directDraw.get();
}

TEST_F(RendererStateTest, WithoutDirectDrawNothingIsCreatedAndTheNextResetRecovers) {
    auto renderer = makeRenderer();
    device.directDraw = nullptr;
    bool changed = false;
    EXPECT_THROW(renderer->postD3DReset(&changed), std::exception);
    // The renderer holds no DirectDraw object now: textures are made without surfaces.
    renderer->releaseAllTextures();
    ASSERT_NE(renderer->scratchTexture(), nullptr);
    EXPECT_EQ(renderer->scratchTexture()->surface(), nullptr);
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::uint8_t pixels[4] = {1, 2, 3, 255};
    texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA);
    EXPECT_EQ(texture->surface(), nullptr);
    renderer->submitQuad(FloatRect{0, 0, 1, 1}, 0, texture, FloatRect{0, 0, 1, 1},
                         CornerColours{{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}}, 0);
    renderer->renderQueue();

    device.directDraw = directDraw.get();
    renderer->postD3DReset(&changed);
    ASSERT_NE(renderer->scratchTexture(), nullptr);
    EXPECT_NE(renderer->scratchTexture()->surface(), nullptr);
    EXPECT_NE(renderer->compositionSurface(), nullptr);
}

TEST_F(RendererStateTest, CreateTextureFailureTextsCarryPrefixAndReason) {
    auto renderer = makeRenderer();
    const std::size_t texturesBefore = renderer->textures().size();
    try {
        renderer->createTexture(nullptr, 0u);
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(),
                     "CDD7Render::createTexture failed from file data : "
                     "(CDD7Texture::loadFromFileData -- Failed to load image from file data.)");
    }
    try {
        renderer->createTexture("missing.png", "no-such-dir/");
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(),
                     "CDD7Render::createTexture failed from file : no-such-dir/missing.png"
                     "(CDD7Texture::loadFromFile -- load file error.)");
    }
    EXPECT_EQ(renderer->textures().size(), texturesBefore);
}

TEST_F(RendererStateTest, SizedTextureHasNoSurface) {
    auto renderer = makeRenderer();
    Texture* texture = renderer->createTexture(64.9f);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(asTexture(texture)->surface(), nullptr);
    EXPECT_EQ(renderer->textures().back(), texture);
    // Never filled: the scale getters divide by zero.
    EXPECT_EQ(texture->getHorzScale(), std::numeric_limits<float>::infinity());
    // Hostile sizes are defined too.
    EXPECT_NE(renderer->createTexture(std::numeric_limits<float>::quiet_NaN()), nullptr);
    EXPECT_NE(renderer->createTexture(-1e30f), nullptr);
}

TEST_F(RendererStateTest, ReleaseTextureIgnoresNullAndForeignPointers) {
    auto renderer = makeRenderer();
    auto other = makeRenderer();
    Texture* mine = renderer->createTexture();
    Texture* theirs = other->createTexture();
    const std::size_t count = renderer->textures().size();
    renderer->releaseTexture(nullptr);
    renderer->releaseTexture(theirs);  // not in this renderer's list: left alone
    EXPECT_EQ(other->textures().back(), theirs);
    renderer->releaseTexture(mine);
    EXPECT_EQ(renderer->textures().size(), count - 1);
    renderer->releaseTexture(mine);  // a second release must not free it again
    EXPECT_EQ(renderer->textures().size(), count - 1);
}

TEST_F(RendererStateTest, ReleaseAllTexturesKeepsTheRendererWorking) {
    auto renderer = makeRenderer();
    renderer->createTexture();
    renderer->createTexture();
    renderer->releaseAllTextures();
    ASSERT_NE(renderer->scratchTexture(), nullptr);
    ASSERT_NE(renderer->compositionSurface(), nullptr);
    EXPECT_NE(renderer->scratchTexture()->surface(), nullptr);
    EXPECT_EQ(renderer->textures().size(), 2u);
}

TEST_F(RendererStateTest, ReleaseAllTexturesDuringResetLeavesRecreationToTheReset) {
    auto renderer = makeRenderer();
    renderer->preD3DReset();
    renderer->releaseAllTextures();
    EXPECT_TRUE(renderer->textures().empty());
    bool changed = true;
    renderer->postD3DReset(&changed);
    EXPECT_NE(renderer->scratchTexture(), nullptr);
    EXPECT_NE(renderer->compositionSurface(), nullptr);
}

TEST_F(RendererStateTest, HostileDisplaySizesAreDefined) {
    device.width = std::numeric_limits<float>::quiet_NaN();
    device.height = 480.0f;
    // A 0-wide display cannot have surfaces: construction fails with the surface text.
    try {
        makeRenderer();
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(),
                     "CDD7Texture::CreateSurface -- Failed to create Texture object.(DDERR_INVALIDPARAMS) ");
    }
}

#if DD7R_TEST_SOFT_DDRAW

TEST_F(RendererStateTest, FailedConstructionLeaksNoSurface) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    device.blendMode = 0;
    soft->failNthCall(softddraw::Operation::CreateSurface, 2, DDERR_OUTOFMEMORY);
    try {
        makeRenderer();
        FAIL();
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(),
                     "CDD7Texture::CreateSurface -- Failed to create Texture object. (DDERR_OUTOFMEMORY)");
    }
    EXPECT_EQ(soft->liveSurfaceCount(), 0u);
    EXPECT_EQ(soft->releasedTooOftenCount(), 0u);
}

TEST_F(RendererStateTest, DestructionReleasesEverySurfaceOnce) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    {
        auto renderer = makeRenderer();
        static const std::uint8_t pixels[4 * 4 * 4] = {};
        renderer->createTexture()->loadFromMemory(pixels, 4, 4, TEXFMT_RGBA);
        renderer->createTexture()->loadFromMemory(pixels, 4, 4, TEXFMT_RGB);
        EXPECT_EQ(soft->liveSurfaceCount(), 4u);
    }
    EXPECT_EQ(soft->liveSurfaceCount(), 0u);
    EXPECT_EQ(soft->releasedTooOftenCount(), 0u);
    EXPECT_EQ(soft->usedAfterReleaseCount(), 0u);
}

TEST_F(RendererStateTest, RendererMadeWithoutCooperativeLevelDrawsOnceItIsBack) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    IDirectDrawSurface7* target = ddtest::createTestSurface(directDraw.get(), 640, 480);
    static const std::uint8_t white[4 * 4 * 4] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    enum class Repair { FirstDraw, LoneReset, ReleaseAll };
    for (int blendMode : {0, 1, 2})
        for (Repair repair : {Repair::FirstDraw, Repair::LoneReset, Repair::ReleaseAll}) {
            SCOPED_TRACE("blend mode " + std::to_string(blendMode) + ", repair " + std::to_string(int(repair)));
            device.blendMode = blendMode;
            soft->setCooperativeLevelLost(true);
            auto renderer = makeRenderer();
            if (repair == Repair::ReleaseAll) renderer->releaseAllTextures();
            ASSERT_NE(renderer->scratchTexture(), nullptr);
            EXPECT_EQ(renderer->scratchTexture()->surface(), nullptr);
            Texture* texture = renderer->createTexture();
            texture->inMemory = true;
            texture->loadFromMemory(white, 4, 4, TEXFMT_RGBA);
            renderer->setTargetSurface(target);
            ddtest::fillBytes(target, 0);
            soft->setCooperativeLevelLost(false);

            if (repair == Repair::LoneReset) {
                bool changed = true;
                renderer->postD3DReset(&changed);
                EXPECT_FALSE(changed);
                EXPECT_NE(renderer->scratchTexture()->surface(), nullptr);
            }
            // Stretched and translucent: through the scratch texture in every blend mode.
            renderer->submitQuad(FloatRect{10, 10, 18, 18}, 0, texture, FloatRect{0, 0, 4, 4},
                                 CornerColours{{0x80FFFFFFu, 0x80FFFFFFu, 0x80FFFFFFu, 0x80FFFFFFu}}, 0);
            renderer->renderQueue();
            EXPECT_NE(renderer->scratchTexture()->surface(), nullptr);
            EXPECT_EQ(renderer->compositionSurface() != nullptr, blendMode == 0);
            if (blendMode == 0) {
                EXPECT_NE(renderer->compositionSurface()->surface(), nullptr);
            }
            EXPECT_NE(ddtest::readPixel(target, 14, 14) & 0xFFFFFF, 0u);
        }
    target->Release();
}

TEST_F(RendererStateTest, DisplaySizesNoDirectDrawCanMakeAreRefusedWithoutAskingIt) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    const std::string invalidParams =
        "CDD7Texture::CreateSurface -- Failed to create Texture object.(DDERR_INVALIDPARAMS) ";
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Size {
        float width, height;
    };
    for (const Size size : {Size{inf, 480}, Size{640, inf}, Size{1e30f, 480}, Size{640, 1e30f}, Size{nan, 480},
                            Size{-inf, 480}, Size{32769, 16}, Size{16, 32769}, Size{70000, 2}, Size{32768, 16384}})
        for (bool atReset : {false, true}) {
            SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) +
                         (atReset ? " at reset" : " at construction"));
            device.width = atReset ? 640.0f : size.width;
            device.height = atReset ? 480.0f : size.height;
            moduletest::RendererPtr renderer;
            soft->clearCallLog();
            const std::string failure = moduletest::failureOf([&] {
                renderer = makeRenderer();
                renderer->preD3DReset();
                soft->clearCallLog();
                device.width = size.width;
                device.height = size.height;
                bool changed = false;
                renderer->postD3DReset(&changed);
            });
            EXPECT_EQ(failure, invalidParams);
            EXPECT_EQ(renderer != nullptr, atReset);
            EXPECT_TRUE(soft->callsOf(softddraw::Operation::CreateSurface).empty());
            renderer.reset();
            EXPECT_EQ(soft->liveSurfaceCount(), 0u);
        }
}

TEST_F(RendererStateTest, FailedRecreationAfterResetIsRetriedByTheNextReset) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    auto renderer = makeRenderer();
    renderer->preD3DReset();
    soft->failNthCall(softddraw::Operation::CreateSurface, 2, DDERR_OUTOFVIDEOMEMORY);
    bool changed = false;
    EXPECT_THROW(renderer->postD3DReset(&changed), std::exception);
    EXPECT_EQ(renderer->scratchTexture(), nullptr);
    EXPECT_EQ(soft->liveSurfaceCount(), 0u);
    renderer->postD3DReset(&changed);
    EXPECT_NE(renderer->compositionSurface(), nullptr);
    EXPECT_EQ(soft->liveSurfaceCount(), 2u);
}

#endif

}  // namespace
