// Textures from image files and from image files held in memory.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "corona_testing.h"
#include "image/ImageFiles.h"
#include "support/FailureText.h"
#include "support/RendererFixture.h"

using namespace ZelUISystem;
using moduletest::failureOf;
using moduletest::recordedCalls;

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> rgbaPicture(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
                                         static_cast<std::uint8_t>(200 - x * y),
                                         static_cast<std::uint8_t>(x == 0 ? 0 : 255 - y * 50)});
    return pixels;
}

// The 32-bit surface value of one RGBA pixel after upload.
DWORD uploaded32(const std::uint8_t* p) {
    if (p[3] == 0) return 0;
    auto c = [&](int i) { return p[3] == 255 ? p[i] : static_cast<std::uint32_t>(p[i] * (p[3] + 1u)) >> 8; };
    return DWORD{p[3]} << 24 | c(0) << 16 | c(1) << 8 | c(2);
}

class ImageLoadingTest : public moduletest::RendererFixture {
protected:
    void SetUp() override {
        RendererFixture::SetUp();
        folder = fs::u8path(moduletest::executableDirectory() + "image-files/" +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        renderer = makeRenderer();
    }
    void TearDown() override {
        renderer.reset();
        RendererFixture::TearDown();
    }

    // Writes bytes to <test folder>/<relative UTF-8 path>; answers the folder's UTF-8 name with
    // a trailing separator.
    std::string writeFile(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = folder / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return folderName();
    }
    std::string folderName() const { return folder.u8string() + "/"; }

    CDD7Texture* newTexture() { return asTexture(renderer->createTexture()); }

    fs::path folder;
    moduletest::RendererPtr renderer;
    const std::vector<std::uint8_t> picture = rgbaPicture(5, 3);
    const std::vector<std::uint8_t> png = dd7rdemo::encodePng(dd7rdemo::Image(5, 3, 4, picture));
};

TEST_F(ImageLoadingTest, PngFileIsDecodedUploadedAndRemembered) {
    const std::string directory = writeFile("skin/button.png", png);
    CDD7Texture* texture = asTexture(renderer->createTexture("button.png", (directory + "skin").c_str()));
    ASSERT_NE(texture->surface(), nullptr);
    EXPECT_EQ(texture->getWidth(), 5u);
    EXPECT_EQ(texture->getHeight(), 3u);
    EXPECT_TRUE(texture->hasAlpha());
    EXPECT_FALSE(texture->restoresInPlace());
    EXPECT_EQ(texture->loadedFileName(), "button.png");
    EXPECT_EQ(texture->loadedDirectory(), directory + "skin");
    EXPECT_EQ(texture->lastResolvedPath(), directory + "skin/button.png");
    EXPECT_EQ(texture->keptBytes(), nullptr);
    const std::vector<DWORD> pixels = ddtest::readPixels(texture->surface());
    for (std::size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], uploaded32(&picture[i * 4])) << i;
}

TEST_F(ImageLoadingTest, PathsGetOneSeparatorAndEmptyNamesAreRefused) {
    CDD7Texture* texture = newTexture();
    const std::string loadError = "CDD7Texture::loadFromFile -- load file error.";
    struct Case {
        const char* name;
        const char* directory;
        const char* path;
    };
    for (const Case& c : {Case{"b.png", "no-such", "no-such/b.png"}, Case{"b.png", "no-such/", "no-such/b.png"},
                          Case{"b.png", "no-such\\", "no-such\\b.png"}, Case{"no-such.png", "", "no-such.png"},
                          Case{"no-such.png", nullptr, "no-such.png"}, Case{"", "skin", "skin/"}}) {
        EXPECT_EQ(failureOf([&] { texture->loadFromFile(c.name, c.directory); }), loadError) << c.path;
        EXPECT_EQ(texture->lastResolvedPath(), c.path);
        EXPECT_TRUE(texture->restoresInPlace());
    }
    EXPECT_EQ(failureOf([&] { texture->loadFromFile("", ""); }), "Texture file name should not be empty.");
    EXPECT_EQ(failureOf([&] { texture->loadFromFile("", nullptr); }), "Texture file name should not be empty.");
    EXPECT_EQ(failureOf([&] { renderer->createTexture("", "skin"); }),
              "CDD7Render::createTexture failed from file : skin(" + loadError + ")");
}

TEST_F(ImageLoadingTest, EmptyFileEndsQuietlyWithoutPicture) {
    const std::string directory = writeFile("empty.png", {});
    CDD7Texture* texture = newTexture();
    texture->loadFromFile("empty.png", directory.c_str());
    EXPECT_EQ(texture->surface(), nullptr);
    EXPECT_TRUE(texture->restoresInPlace());
    EXPECT_EQ(texture->loadedFileName(), "");
}

TEST_F(ImageLoadingTest, NonAsciiNamesInNonAsciiFoldersLoad) {
    const std::string relative = u8"Überskin テスト/bouton-é.png";
    const std::string directory = writeFile(relative, png);
    const std::string fullDirectory = directory + u8"Überskin テスト";
    CDD7Texture* texture = asTexture(renderer->createTexture(u8"bouton-é.png", fullDirectory.c_str()));
    ASSERT_NE(texture->surface(), nullptr);
    EXPECT_EQ(texture->loadedFileName(), u8"bouton-é.png");
    const std::string utf8Path = fullDirectory + u8"/bouton-é.png";
    // The resolved path is in the local code page: UTF-8 itself where that is the local one.
    if (GetACP() == CP_UTF8)
        EXPECT_EQ(texture->lastResolvedPath(), utf8Path);
    else
        EXPECT_NE(texture->lastResolvedPath(), utf8Path);
}

TEST_F(ImageLoadingTest, FileTexturesAreReadAgainAfterAReset) {
    device.surfaceMemory = 2;
    renderer = makeRenderer();
    const std::string directory = writeFile("icon.png", png);
    CDD7Texture* texture = asTexture(renderer->createTexture("icon.png", directory.c_str()));
    const std::vector<DWORD> before = ddtest::readPixels(texture->surface());
    renderer->preD3DReset();
    EXPECT_EQ(texture->surface(), nullptr);
    ddtest::loseAllSurfaces(directDraw.get());
    bool changed = true;
    renderer->postD3DReset(&changed);
    ASSERT_NE(texture->surface(), nullptr);
    EXPECT_EQ(ddtest::readPixels(texture->surface()), before);
}

TEST_F(ImageLoadingTest, FileDataIsKeptSoTheHostMayFreeItsBuffer) {
    std::vector<std::uint8_t> bytes = png;
    CDD7Texture* texture = asTexture(renderer->createTexture(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    const std::vector<DWORD> before = ddtest::readPixels(texture->surface());
    EXPECT_EQ(texture->keptByteCount(), bytes.size());
    EXPECT_FALSE(texture->restoresInPlace());
    std::fill(bytes.begin(), bytes.end(), 0);
    bytes.clear();
    bytes.shrink_to_fit();
    renderer->preD3DReset();
    bool changed = true;
    renderer->postD3DReset(&changed);
    ASSERT_NE(texture->surface(), nullptr);
    EXPECT_EQ(ddtest::readPixels(texture->surface()), before);
}

TEST_F(ImageLoadingTest, InMemoryFlagNeverMakesFileBytesBeReadAsPixels) {
    // Set after loading from file bytes, or before: either way the kept bytes are an image file,
    // and a rebuild decodes them again.
    CDD7Texture* late = asTexture(renderer->createTexture(png.data(), static_cast<std::uint32_t>(png.size())));
    late->inMemory = true;
    CDD7Texture* early = newTexture();
    early->inMemory = true;
    early->loadFromFileData(png.data(), static_cast<std::uint32_t>(png.size()));
    EXPECT_EQ(early->keptByteCount(), png.size());
    const std::vector<DWORD> before = ddtest::readPixels(late->surface());
    EXPECT_EQ(ddtest::readPixels(early->surface()), before);
    for (int reset = 0; reset < 2; ++reset) {
        renderer->preD3DReset();
        bool changed = true;
        renderer->postD3DReset(&changed);
        ASSERT_NE(late->surface(), nullptr);
        ASSERT_NE(early->surface(), nullptr);
        EXPECT_EQ(ddtest::readPixels(late->surface()), before);
        EXPECT_EQ(ddtest::readPixels(early->surface()), before);
        EXPECT_EQ(early->keptByteCount(), png.size());
    }
}

TEST_F(ImageLoadingTest, FileIsPreferredOverKeptBytesForRebuilding) {
    const std::string directory = writeFile("a.png", png);
    CDD7Texture* texture = newTexture();
    texture->loadFromFile("a.png", directory.c_str());
    const std::vector<std::uint8_t> other = dd7rdemo::encodePng(dd7rdemo::Image(2, 2, 3, std::vector<std::uint8_t>(12, 99)));
    texture->loadFromFileData(other.data(), static_cast<std::uint32_t>(other.size()));
    EXPECT_EQ(texture->getWidth(), 2u);
    renderer->preD3DReset();
    bool changed = true;
    renderer->postD3DReset(&changed);
    EXPECT_EQ(texture->getWidth(), 5u);
}

TEST_F(ImageLoadingTest, MissingFileDataIsLoggedAndRefused) {
    enableLogging(1);
    const std::string text = "CDD7Texture::loadFromFileData -- Failed to load image from file data.";
    CDD7Texture* texture = newTexture();
    EXPECT_EQ(failureOf([&] { texture->loadFromFileData(nullptr, 10); }), text);
    EXPECT_EQ(failureOf([&] { texture->loadFromFileData(png.data(), 0); }), text);
    EXPECT_EQ(recordedCalls("fatal"), (std::vector<std::string>{"fatal 1 " + text, "fatal 1 " + text}));
}

TEST_F(ImageLoadingTest, CorruptFilesGiveTheDecoderTextAndNeverCrash) {
    const std::string openFailed = "Unable to load image, corona::OpenImage failed";
    for (std::size_t cut = 1; cut < png.size(); cut += 3) {
        const std::vector<std::uint8_t> truncated(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(failureOf([&] { newTexture()->loadFromFileData(truncated.data(), static_cast<std::uint32_t>(cut)); }),
                  openFailed) << "cut at " << cut;
    }
    for (std::size_t at = 0; at < png.size(); ++at) {
        std::vector<std::uint8_t> flipped = png;
        flipped[at] ^= 0x5A;
        const std::string result =
            failureOf([&] { newTexture()->loadFromFileData(flipped.data(), static_cast<std::uint32_t>(flipped.size())); });
        EXPECT_TRUE(result == openFailed || result == "(no exception)") << "byte " << at << ": " << result;
    }
    // Absurd dimensions in the header (CRC made right, so only the size is wrong).
    std::vector<std::uint8_t> huge = dd7rdemo::encodePng(dd7rdemo::Image(5, 3, 4, picture));
    huge[16] = 0x7F;  // width 0x7F000005
    EXPECT_EQ(failureOf([&] { newTexture()->loadFromFileData(huge.data(), static_cast<std::uint32_t>(huge.size())); }),
              openFailed);
    const std::string directory = writeFile("broken.png", std::vector<std::uint8_t>(png.begin(), png.begin() + 40));
    EXPECT_EQ(failureOf([&] { renderer->createTexture("broken.png", directory.c_str()); }),
              "CDD7Render::createTexture failed from file : " + directory + "broken.png(" + openFailed + ")");
    EXPECT_EQ(corona::testing::LiveImageCount(), 0);
    EXPECT_EQ(corona::testing::LiveFileCount(), 0);
}

#if DD7R_TEST_SOFT_DDRAW

TEST_F(ImageLoadingTest, MemoryRunningOutGivesItsTextAndLeavesNothingBehind) {
    softddraw::SoftDirectDraw* soft = ddtest::asSoft(directDraw.get());
    const std::string directory = writeFile("picture.png", png);
    const std::string outOfMemory = "CDD7Texture::CreateSurface -- Failed to create Texture object. (DDERR_OUTOFMEMORY)";
    const std::string lockFailed = "CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling.";
    struct Load {
        const char* name;
        bool decodes;  // an image file is decoded on the way
        std::function<void(CDD7Texture&)> run;
    };
    const Load loads[] = {
        {"pixels", false, [&](CDD7Texture& t) { t.loadFromMemory(picture.data(), 5, 3, TEXFMT_RGBA); }},
        {"kept pixels", false, [&](CDD7Texture& t) { t.inMemory = true, t.loadFromMemory(picture.data(), 5, 3, TEXFMT_RGBA); }},
        {"file data", true, [&](CDD7Texture& t) { t.loadFromFileData(png.data(), static_cast<std::uint32_t>(png.size())); }},
        {"file", true, [&](CDD7Texture& t) { t.loadFromFile("picture.png", directory.c_str()); }},
    };
    struct Fault {
        const char* name;
        bool badAlloc;                 // thrown by the image decoder
        softddraw::Operation failing;  // else this call fails with DDERR_OUTOFMEMORY
        const std::string& text;
    };
    const std::string decodeFailed = "Unable to load image, corona::OpenImage failed";
    const Fault faults[] = {{"bad_alloc", true, softddraw::Operation::CreateSurface, decodeFailed},
                            {"CreateSurface", false, softddraw::Operation::CreateSurface, outOfMemory},
                            {"Lock", false, softddraw::Operation::Lock, lockFailed}};
    const std::size_t liveSurfaces = soft->liveSurfaceCount();
    for (const Fault& fault : faults)
        for (const Load& load : loads) {
            if (fault.badAlloc && !load.decodes) continue;
            SCOPED_TRACE(std::string(fault.name) + " while loading " + load.name);
            auto* texture = static_cast<CDD7Texture*>(renderer->createTexture());
            std::optional<corona::testing::ScopedDecoderOverride> decoderOutOfMemory;
            if (fault.badAlloc)
                decoderOutOfMemory.emplace([](const unsigned char*, int) -> corona::Image* { throw std::bad_alloc(); });
            else
                soft->failNthCall(fault.failing, 1, DDERR_OUTOFMEMORY);
            EXPECT_EQ(failureOf([&] { load.run(*texture); }), fault.text);
            EXPECT_EQ(texture->surface(), nullptr);
            EXPECT_EQ(soft->liveSurfaceCount(), liveSurfaces);
            EXPECT_EQ(corona::testing::LiveImageCount(), 0);
            EXPECT_EQ(corona::testing::LiveFileCount(), 0);
            renderer->releaseTexture(texture);
        }
    // Through the renderer: the prefixed text, and no texture kept.
    const std::size_t textures = renderer->textures().size();
    soft->failNthCall(softddraw::Operation::CreateSurface, 1, DDERR_OUTOFMEMORY);
    EXPECT_EQ(failureOf([&] { renderer->createTexture(png.data(), static_cast<std::uint32_t>(png.size())); }),
              "CDD7Render::createTexture failed from file data : (" + outOfMemory + ")");
    EXPECT_EQ(renderer->textures().size(), textures);
    EXPECT_EQ(soft->liveSurfaceCount(), liveSurfaces);
}

#endif

struct DecodedCase {
    corona::PixelFormat format;
    bool convertible;
    const char* failure;  // null: loads
    bool alpha;
};

class ImageFormatTest : public ImageLoadingTest, public ::testing::WithParamInterface<DecodedCase> {};

TEST_P(ImageFormatTest, BlueFirstImagesAreConvertedAndOthersRefused) {
    const DecodedCase c = GetParam();
    const std::uint8_t pixels[8] = {10, 20, 30, 255, 40, 50, 60, 255};
    corona::testing::ScopedDecoderOverride decoder([&](const unsigned char*, int) {
        return c.convertible ? corona::testing::CreateImage(2, 1, c.format, pixels)
                             : corona::testing::CreateUnconvertibleImage(2, 1, c.format, pixels);
    });
    CDD7Texture* texture = newTexture();
    const std::string result = failureOf([&] { texture->loadFromFileData(png.data(), static_cast<std::uint32_t>(png.size())); });
    if (c.failure == nullptr) {
        EXPECT_EQ(result, "(no exception)");
        EXPECT_EQ(texture->hasAlpha(), c.alpha);
        // Blue-first bytes 10, 20, 30 are blue 10, green 20, red 30 once converted.
        const DWORD first = ddtest::readPixel(texture->surface(), 0, 0);
        EXPECT_EQ(first & 0xFFFFFFu, c.format == corona::PF_B8G8R8A8 || c.format == corona::PF_B8G8R8
                                         ? 0x1E140Au : 0x0A141Eu);
    } else {
        EXPECT_EQ(result, c.failure);
        EXPECT_EQ(texture->surface(), nullptr);
        EXPECT_TRUE(texture->restoresInPlace());
    }
    EXPECT_EQ(corona::testing::LiveImageCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    DecodedFormats, ImageFormatTest,
    ::testing::Values(DecodedCase{corona::PF_R8G8B8A8, true, nullptr, true},
                      DecodedCase{corona::PF_R8G8B8, true, nullptr, false},
                      DecodedCase{corona::PF_B8G8R8A8, true, nullptr, true},
                      DecodedCase{corona::PF_B8G8R8, true, nullptr, false},
                      DecodedCase{corona::PF_I8, true, "Unable to load image, unsurpotted image format.", false},
                      DecodedCase{corona::PF_B8G8R8A8, false, "Unable to convert image to RGBA or RGB", false},
                      DecodedCase{corona::PF_B8G8R8, false, "Unable to convert image to RGBA or RGB", false}));

}  // namespace
