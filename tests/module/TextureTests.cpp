// Texture surfaces: creation, upload into real surfaces, the kept copies and device resets.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "SurfacePixels.h"
#include "support/FailureText.h"
#include "support/RendererFixture.h"

using namespace ZelUISystem;
using moduletest::failureOf;
using moduletest::recordedCalls;

namespace {

// A small RGBA picture with transparent, black, white and coloured pixels.
std::vector<std::uint8_t> samplePicture(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t v = static_cast<std::uint8_t>(x * 37 + y * 11);
            pixels.insert(pixels.end(), {v, static_cast<std::uint8_t>(255 - v),
                                         static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : 200 + y)});
        }
    return pixels;
}

struct FormatCase {
    int texturePixelFormat;
    RGBMode mode;
};

class TextureUploadTest : public moduletest::RendererFixture,
                          public ::testing::WithParamInterface<FormatCase> {};

TEST_P(TextureUploadTest, UploadSetsModeKeyAndConvertsEveryPixel) {
    device.texturePixelFormat = GetParam().texturePixelFormat;
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::vector<std::uint8_t> pixels = samplePicture(7, 3);
    texture->loadFromMemory(pixels.data(), 7, 3, TEXFMT_RGBA);
    EXPECT_EQ(texture->rgbMode(), GetParam().mode);
    EXPECT_TRUE(texture->hasAlpha());
    EXPECT_EQ(texture->getWidth(), 7u);
    EXPECT_EQ(texture->getImageHeight(), 3u);
    DDCOLORKEY key{9, 9};
    EXPECT_EQ(texture->surface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0u);

    // Pixel by pixel against the conversion written out here.
    const std::vector<DWORD> written = ddtest::readPixels(texture->surface());
    for (std::size_t i = 0; i < written.size(); ++i) {
        const std::uint8_t* p = &pixels[i * 4];
        DWORD expected = 0;
        if (p[3] != 0) {
            const std::uint32_t r = (p[0] * (p[3] + 1u)) >> 8, g = (p[1] * (p[3] + 1u)) >> 8,
                                b = (p[2] * (p[3] + 1u)) >> 8;
            if (GetParam().mode == DDS_RGBMODE_565) expected = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
            if (GetParam().mode == DDS_RGBMODE_555) expected = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
            if (GetParam().mode == DDS_RGBMODE_32) expected = std::uint32_t{p[3]} << 24 | r << 16 | g << 8 | b;
        }
        ASSERT_EQ(written[i], expected) << "pixel " << i;
    }
}

TEST_P(TextureUploadTest, InMemoryTextureIsRebuiltPixelIdenticalAfterAReset) {
    device.texturePixelFormat = GetParam().texturePixelFormat;
    device.surfaceMemory = 2;  // let DirectDraw choose, so the surfaces can be lost
    auto renderer = makeRenderer();
    // The host may clear the flag after loading: the kept pixels are still what the texture is
    // rebuilt from (never decoded as an image file).
    for (bool flagClearedAfterLoading : {false, true})
    for (TextureFormat format : {TEXFMT_RGB, TEXFMT_RGBA, TEXFMT_BGRA}) {
        CDD7Texture* texture = asTexture(renderer->createTexture());
        texture->inMemory = true;
        std::vector<std::uint8_t> pixels = samplePicture(5, 4);
        if (format == TEXFMT_RGB) pixels.resize(5 * 4 * 3);  // exactly what an RGB buffer holds
        texture->loadFromMemory(pixels.data(), 5, 4, format);
        const std::vector<DWORD> before = ddtest::readPixels(texture->surface());
        EXPECT_FALSE(texture->restoresInPlace());
        EXPECT_EQ(texture->keptByteCount(), pixels.size());
        std::fill(pixels.begin(), pixels.end(), 0x55);  // the host may reuse its buffer
        texture->inMemory = !flagClearedAfterLoading;

        renderer->preD3DReset();
        EXPECT_EQ(texture->surface(), nullptr);
        ddtest::loseAllSurfaces(directDraw.get());
        bool changed = true;
        renderer->postD3DReset(&changed);
        ASSERT_NE(texture->surface(), nullptr);
        EXPECT_EQ(ddtest::readPixels(texture->surface()), before) << "format " << format;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextureUploadTest,
                         ::testing::Values(FormatCase{565, DDS_RGBMODE_565}, FormatCase{555, DDS_RGBMODE_555},
                                           FormatCase{0, DDS_RGBMODE_32}),
                         [](const ::testing::TestParamInfo<FormatCase>& param) {
                             return "format" + std::to_string(param.param.texturePixelFormat);
                         });

class TextureTest : public moduletest::RendererFixture {};

TEST_F(TextureTest, RgbUploadHasNoKeyAndRestoresInPlace) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6};
    texture->loadFromMemory(pixels, 2, 1, TEXFMT_RGB);
    EXPECT_FALSE(texture->hasAlpha());
    DDCOLORKEY key{};
    EXPECT_EQ(texture->surface()->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
    EXPECT_TRUE(texture->restoresInPlace());
    EXPECT_EQ(texture->keptBytes(), nullptr);

    IDirectDrawSurface7* surface = texture->surface();
    renderer->preD3DReset();
    bool changed = true;
    renderer->postD3DReset(&changed);
    EXPECT_EQ(texture->surface(), surface);  // the same surface, restored
}

TEST_F(TextureTest, FillOutsideTheSurfaceOrFromNullFailsWithoutWriting) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    std::vector<std::uint8_t> pixels(4 * 4 * 4, 0x80);
    texture->loadFromMemory(pixels.data(), 4, 4, TEXFMT_BGRA);
    const std::vector<DWORD> before = ddtest::readPixels(texture->surface());
    const std::vector<std::uint8_t> big(64 * 64 * 4, 0x10);
    EXPECT_EQ(failureOf([&] { texture->fillFromMemory(big.data(), 3, 0, 2, 1, 8, TEXFMT_BGRA); }),
              "CDD7Texture::fillFromMemory -- The rectangle reaches outside the texture surface.");
    EXPECT_EQ(failureOf([&] { texture->fillFromMemory(big.data(), 0xFFFFFFFFu, 0, 2, 1, 8, TEXFMT_BGRA); }),
              "CDD7Texture::fillFromMemory -- The rectangle reaches outside the texture surface.");
    EXPECT_EQ(failureOf([&] { texture->fillFromMemory(big.data(), 0, 1, 1, 0xFFFFFFFFu, 4, TEXFMT_RGB); }),
              "CDD7Texture::fillFromMemory -- The rectangle reaches outside the texture surface.");
    EXPECT_EQ(failureOf([&] { texture->fillFromMemory(nullptr, 0, 0, 1, 1, 4, TEXFMT_RGBA); }),
              "CDD7Texture::fillFromMemory -- Pixel data pointer is NULL.");
    EXPECT_EQ(ddtest::readPixels(texture->surface()), before);
    // Still usable afterwards: the surface was unlocked.
    texture->fillFromMemory(big.data(), 1, 1, 2, 2, 8, TEXFMT_BGRA);
    EXPECT_EQ(ddtest::readPixel(texture->surface(), 1, 1), 0x10101010u);
}

TEST_F(TextureTest, FillIntoATextureWithoutSurfaceFailsCleanly) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture(16.0f));
    const std::uint8_t pixel[4] = {1, 2, 3, 4};
    EXPECT_EQ(failureOf([&] { texture->fillFromMemory(pixel, 0, 0, 1, 1, 4, TEXFMT_RGBA); }),
              "CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling.");
}

TEST_F(TextureTest, UnknownFormatWritesNothingAndKeepsTheMode) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::uint8_t pixels[4 * 4] = {9, 9, 9, 9};
    texture->loadFromMemory(pixels, 2, 2, TEXFMT_RGBA);
    const std::vector<DWORD> before = ddtest::readPixels(texture->surface());
    texture->setRGBMode(DDS_RGBMODE_NONE);
    texture->fillFromMemory(pixels, 0, 0, 2, 2, 8, static_cast<TextureFormat>(7));
    EXPECT_EQ(texture->rgbMode(), DDS_RGBMODE_NONE);
    EXPECT_EQ(ddtest::readPixels(texture->surface()), before);
    texture->fillFromMemory(pixels, 0, 0, 2, 0, 8, TEXFMT_RGBA);  // height 0: mode refreshed only
    EXPECT_EQ(texture->rgbMode(), DDS_RGBMODE_32);
}

TEST_F(TextureTest, SizesWhoseByteCountOverflowFailClearly) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    texture->inMemory = true;
    const std::uint8_t pixel[4] = {};
    EXPECT_EQ(failureOf([&] { texture->loadFromMemory(pixel, 65536, 16384, TEXFMT_RGBA); }),
              "CDD7Texture::loadFromMemory  -- Texture size is too large (width x height x 4 exceeds 32 bits).");
    EXPECT_EQ(texture->surface(), nullptr);
    EXPECT_EQ(texture->keptBytes(), nullptr);
}

TEST_F(TextureTest, KeptCopyFollowsTheBaseRules) {
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::uint8_t bytes[] = {1, 2, 3};
    texture->Texture::loadFromFileData(bytes, 3);
    const std::uint8_t* copy = texture->keptBytes();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, bytes);
    texture->Texture::loadFromFileData(copy, 3);  // its own copy: untouched
    EXPECT_EQ(texture->keptBytes(), copy);
    texture->Texture::loadFromFileData(bytes, 0);
    EXPECT_EQ(texture->keptBytes(), nullptr);
    EXPECT_EQ(texture->keptByteCount(), 0u);
}

TEST_F(TextureTest, RGBModeClassifiesByBitCountAndMasks) {
    enableLogging(4);
    auto modeOf = [](DWORD bits, DWORD r, DWORD g, DWORD b) {
        DDSURFACEDESC2 desc{};
        desc.ddpfPixelFormat.dwRGBBitCount = bits;
        desc.ddpfPixelFormat.dwRBitMask = r;
        desc.ddpfPixelFormat.dwGBitMask = g;
        desc.ddpfPixelFormat.dwBBitMask = b;
        return CDD7Texture::GetRGBMode(desc);
    };
    EXPECT_EQ(modeOf(32, 0xFF, 0xFF00, 0xFF0000), DDS_RGBMODE_32);
    EXPECT_EQ(modeOf(24, 0, 0, 0), DDS_RGBMODE_24);
    EXPECT_EQ(modeOf(16, 0xF800, 0x07E0, 0x001F), DDS_RGBMODE_565);
    EXPECT_EQ(modeOf(16, 0x7C00, 0x03E0, 0x001F), DDS_RGBMODE_555);
    EXPECT_EQ(modeOf(16, 0x0F00, 0x00F0, 0x000F), DDS_RGBMODE_16);
    EXPECT_TRUE(recordedCalls("log").empty());
    EXPECT_EQ(modeOf(8, 0, 0, 0), DDS_RGBMODE_8);
    EXPECT_EQ(modeOf(15, 0x7C00, 0x03E0, 0x001F), DDS_RGBMODE_NONE);
    EXPECT_EQ(recordedCalls("log"),
              (std::vector<std::string>{"log 4 CDD7Texture::GetRGBMode return DDS_RGBMODE_8 (RGBBitCount 8)",
                                        "log 1 CDD7Texture::GetRGBMode return DDS_RGBMODE_NONE (RGBBitCount 15)"}));
}

#if DD7R_TEST_SOFT_DDRAW

using softddraw::Operation;

TEST_F(TextureTest, CreateSurfaceAsksForMemoryAndFormatAsTheDeviceSays) {
    // A DirectDraw with video memory, so that every memory answer can be followed.
    softddraw::SoftDirectDraw* soft = softddraw::SoftDirectDraw::create(
        ddtest::pixelFormatOf(ddtest::TestDisplayFormat::Xrgb32), softddraw::VideoMemory::Present);
    device.directDraw = soft;
    struct Case {
        int memory, format;
        DWORD caps;
        DWORD redMask;  // 0: no pixel format asked
    };
    for (const Case& c : {Case{0, 0, 0x840, 0}, Case{1, 565, 0x4040, 0xF800}, Case{2, 555, 0x40, 0x7C00},
                          Case{7, 16, 0x840, 0}, Case{0, 888, 0x840, 0}}) {
        device.surfaceMemory = c.memory;
        device.texturePixelFormat = c.format;
        auto renderer = makeRenderer();
        soft->clearCallLog();
        const std::uint8_t pixels[4] = {1, 2, 3, 255};
        renderer->createTexture()->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA);
        const auto creations = soft->callsOf(Operation::CreateSurface);
        ASSERT_EQ(creations.size(), 1u);
        const softddraw::SurfaceDescRecord& desc = *creations[0].desc;
        EXPECT_EQ(desc.caps, c.caps) << "memory " << c.memory;
        EXPECT_EQ(desc.size, sizeof(DDSURFACEDESC2));
        ASSERT_TRUE(desc.sourceKey.has_value());
        EXPECT_EQ(desc.sourceKey->dwColorSpaceLowValue, 0u);
        EXPECT_EQ(desc.pixelFormat.has_value(), c.redMask != 0);
        EXPECT_EQ(desc.flags, 0x10007u | (c.redMask != 0 ? DDSD_PIXELFORMAT : 0u));
        if (c.redMask != 0) {
            EXPECT_EQ(desc.pixelFormat->dwRBitMask, c.redMask);
        }
        const auto keys = soft->callsOf(Operation::SetColorKey);
        ASSERT_EQ(keys.size(), 1u);  // set again after the upload
        // The upload locks the whole surface asking for the pixel format it converts into.
        const auto locks = soft->callsOf(Operation::Lock);
        ASSERT_EQ(locks.size(), 1u);
        EXPECT_FALSE(locks[0].destRect.has_value());
        EXPECT_EQ(locks[0].flags, DDLOCK_WAIT);
        ASSERT_TRUE(locks[0].desc.has_value());
        EXPECT_EQ(locks[0].desc->flags, DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT);
        ASSERT_TRUE(locks[0].desc->pixelFormat.has_value());
        EXPECT_EQ(locks[0].desc->pixelFormat->dwSize, sizeof(DDPIXELFORMAT));
    }
    device.directDraw = directDraw.get();
    soft->Release();
}

TEST_F(TextureTest, EverySurfaceFailureHasItsMessage) {
    enableLogging(1);
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    auto renderer = makeRenderer();
    const std::string head = "CDD7Texture::CreateSurface -- Failed to create Texture object.";
    const std::vector<std::pair<std::uint32_t, std::string>> table = {
        {0x8876005F, "(DDERR_INCOMPATIBLEPRIMARY) "}, {0x88760064, "(DDERR_INVALIDCAPS) "},
        {0x88760082, "(DDERR_INCOMPATIBLEPRIMARY) "}, {0x88760091, "(DDERR_INVALIDPIXELFORMAT)"},
        {0x887600B4, " (DDERR_NOALPHAHW)"}, {0x887600D4, " (DDERR_NOCOOPERATIVELEVELSET)"},
        {0x887600E6, " (DDERR_NOFLIPHW)"}, {0x88760104, " (DDERR_NOOVERLAYHW)"},
        {0x8876017C, " (DDERR_OUTOFVIDEOMEMORY)"}, {0x88760234, " (DDERR_PRIMARYSURFACEALREADYEXISTS)"},
        {0x8007000E, " (DDERR_OUTOFMEMORY)"}, {0x80070057, "(DDERR_INVALIDPARAMS) "},
        {0x88760078, " (UNKNOWN 0x88760078)"}, {0x8000FFFF, " (UNKNOWN 0x8000ffff)"}};
    const std::uint8_t pixels[4] = {1, 2, 3, 4};
    for (const auto& [code, tail] : table) {
        moduletest::recordingLogger().calls.clear();
        soft->failNthCall(Operation::CreateSurface, 1, static_cast<HRESULT>(code));
        const std::string expected = head + tail;
        EXPECT_EQ(failureOf([&] { renderer->createTexture()->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA); }), expected);
        // CreateSurface reports it, then loadFromMemory passes on what it caught.
        EXPECT_EQ(recordedCalls("fatal"), (std::vector<std::string>{"fatal 1 " + expected, "fatal 1 " + expected}));
    }
}

TEST_F(TextureTest, SizesNoDirectDrawCanMakeAreRefusedWithoutAskingIt) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    auto renderer = makeRenderer();
    const std::string invalidParams =
        "CDD7Texture::CreateSurface -- Failed to create Texture object.(DDERR_INVALIDPARAMS) ";
    struct Case {
        std::uint32_t width, height;
        bool made;
    };
    // Pixels are read only for a surface that was made: the small ones.
    const std::vector<std::uint8_t> pixels(32768 * 4, 0x40);
    for (const Case& c : {Case{70000, 1, false}, Case{1, 70000, false}, Case{32769, 1, false}, Case{1, 32769, false},
                          Case{32768, 16384, false}, Case{0, 4, false}, Case{4, 0, false}, Case{32768, 1, true},
                          Case{1, 32768, true}})
        for (bool blank : {false, true}) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + (blank ? " blank" : " loaded"));
            soft->clearCallLog();
            CDD7Texture* texture = asTexture(renderer->createTexture());
            const std::string failure = failureOf([&] {
                if (blank)
                    texture->CreateBlankSurface(c.width, c.height);
                else
                    texture->loadFromMemory(pixels.data(), c.width, c.height, TEXFMT_BGRA);
            });
            EXPECT_EQ(failure, c.made ? "(no exception)" : invalidParams);
            EXPECT_EQ(soft->callsOf(Operation::CreateSurface).size(), c.made ? 1u : 0u);
            EXPECT_EQ(texture->surface() != nullptr, c.made);
            renderer->releaseTexture(texture);
        }
    // Every byte count that fits in 31 bits is asked for (the software DirectDraw makes it
    // without committing memory).
    CDD7Texture* large = asTexture(renderer->createTexture());
    large->CreateBlankSurface(16384, 32767);
    EXPECT_NE(large->surface(), nullptr);
}

TEST_F(TextureTest, NoCooperativeLevelLeavesTheTextureToBeRebuiltLater) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    texture->inMemory = true;
    const std::uint8_t pixels[4] = {10, 20, 30, 255};
    soft->setCooperativeLevelLost(true);
    texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA);
    EXPECT_EQ(texture->surface(), nullptr);
    EXPECT_TRUE(soft->callsOf(Operation::CreateSurface).empty() ||
                soft->callsOf(Operation::CreateSurface).size() == 2u);
    soft->setCooperativeLevelLost(false);
    texture->postD3DReset();
    ASSERT_NE(texture->surface(), nullptr);
    EXPECT_EQ(ddtest::readPixel(texture->surface(), 0, 0), 0xFF0A141Eu);
}

TEST_F(TextureTest, FailedUploadReleasesTheSurfaceAndReportsTheText) {
    enableLogging(1);
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    auto renderer = makeRenderer();
    const std::size_t live = soft->liveSurfaceCount();
    soft->failNthCall(Operation::Lock, 1, DDERR_SURFACEBUSY);
    const std::uint8_t pixels[4] = {1, 2, 3, 4};
    CDD7Texture* texture = asTexture(renderer->createTexture());
    EXPECT_EQ(failureOf([&] { texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA); }),
              "CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling.");
    EXPECT_EQ(texture->surface(), nullptr);
    EXPECT_EQ(soft->liveSurfaceCount(), live);
    EXPECT_EQ(recordedCalls("fatal"),
              std::vector<std::string>{"fatal 1 CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling."});

    soft->failNthCall(Operation::GetSurfaceDesc, 1, DDERR_GENERIC);
    EXPECT_EQ(failureOf([&] { texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA); }),
              "CDD7Texture::loadFromMemory  -- Failed to get the surface pixel format.");
    EXPECT_EQ(soft->liveSurfaceCount(), live);
}

TEST_F(TextureTest, EightBitSurfacesAreRefusedForUpload) {
    // On an 8-bit display the texture's surface is 8-bit: the upload refuses it.
    auto dd8 = ddtest::TestDirectDrawPtr(ddtest::createTestDirectDraw(ddtest::TestDisplayFormat::Palettized8));
    device.directDraw = dd8.get();
    auto renderer = makeRenderer();
    CDD7Texture* texture = asTexture(renderer->createTexture());
    const std::uint8_t pixels[4] = {1, 2, 3, 4};
    EXPECT_EQ(failureOf([&] { texture->loadFromMemory(pixels, 1, 1, TEXFMT_RGBA); }),
              "CDD7Texture::loadFromMemory  -- Unsupported pixel format of the texture.");
    EXPECT_EQ(texture->rgbMode(), DDS_RGBMODE_8);
    renderer.reset();
    device.directDraw = directDraw.get();
}

#endif

}  // namespace
