// The module seen from a host: loaded by path, the three exports looked up by name, and the
// exceptions it throws caught with the host's own C++ runtime.

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <string>

#include "TestDirectDraw.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "interface/Texture.h"
#include "platform/Win32Types.h"

namespace {

class HostDevice final : public ZelUISystem::RendererDevice {
public:
    explicit HostDevice(IDirectDraw7* directDraw) : directDraw_(directDraw) {}
    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        *width = 320.0f;
        *height = 240.0f;
    }
    int queryBlendMode() override { return 2; }
    int querySurfaceMemory() override { return 0; }
    int queryTexturePixelFormat() override { return 565; }

private:
    IDirectDraw7* directDraw_;
};

std::basic_string<WCHAR> moduleFileName() {
    const std::string name = DD7R_MODULE_FILE;
    return std::basic_string<WCHAR>(name.begin(), name.end());
}

template <typename Fn>
Fn entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class HostLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(moduleFileName().c_str());
        ASSERT_NE(module, nullptr) << "cannot load " << DD7R_MODULE_FILE;
        create = entry<CreateRendererFn>(module, "createRenderer");
        destroy = entry<DestroyRendererFn>(module, "destroyRenderer");
        lastError = entry<GetLastErrorStringFn>(module, "getLastErrorString");
        ASSERT_NE(create, nullptr);
        ASSERT_NE(destroy, nullptr);
        ASSERT_NE(lastError, nullptr);
    }

    HMODULE module = nullptr;
    CreateRendererFn create = nullptr;
    DestroyRendererFn destroy = nullptr;
    GetLastErrorStringFn lastError = nullptr;
};

TEST_F(HostLoadTest, ExportsResolveAndAFailedCreationExplainsItself) {
    EXPECT_EQ(create(nullptr, 0, false, nullptr, 0, 0), nullptr);
    EXPECT_STREQ(lastError(), "dd7r --> createRenderer() error : CDD7Render::CDD7Render() --> Renderer device is NULL.");
    EXPECT_EQ(entry<CreateRendererFn>(module, "_createRenderer"), nullptr);
}

TEST_F(HostLoadTest, HostCatchesTheModulesExceptionTexts) {
    ddtest::TestDirectDrawPtr directDraw(ddtest::createTestDirectDraw());
    HostDevice device(directDraw.get());
    ZelUISystem::Renderer* renderer = create(&device, 0, true, nullptr, 0, 0);
    ASSERT_NE(renderer, nullptr) << lastError();
    EXPECT_EQ(renderer->getDisplayWidth(), 320.0f);
    EXPECT_EQ(renderer->getHorzDpi(), 96u);
    std::string caught;
    try {
        renderer->createTexture(nullptr, 0u);
    } catch (const std::exception& error) {
        caught = error.what();
    }
    EXPECT_EQ(caught,
              "CDD7Render::createTexture failed from file data : "
              "(CDD7Texture::loadFromFileData -- Failed to load image from file data.)");

    // A texture filled by the host, with the in-memory flag written directly into the field.
    ZelUISystem::Texture* texture = renderer->createTexture();
    texture->inMemory = true;
    const unsigned char pixels[4 * 4] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0};
    texture->loadFromMemory(pixels, 2, 2, ZelUISystem::TEXFMT_RGBA);
    EXPECT_EQ(texture->getWidth(), 2u);
    EXPECT_EQ(texture->getImageHeight(), 2u);
    EXPECT_FLOAT_EQ(texture->getHorzScale(), 0.5f);
    renderer->releaseTexture(texture);
    destroy(renderer);
}

// The string fields, read through the headers' accessors as the host's own std::string.
TEST_F(HostLoadTest, HostReadsTheStringFieldsThroughTheHeaders) {
    // A 1x1 red 24-bit BMP: file header, info header, one padded row.
    const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                   40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                                   0, 0, 0, 0, 4, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0};
    const char* const file = "host-load-string-fields.bmp";
    std::FILE* out = std::fopen(file, "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(bmp, 1, sizeof bmp, out), sizeof bmp);
    std::fclose(out);

    ddtest::TestDirectDrawPtr directDraw(ddtest::createTestDirectDraw());
    HostDevice device(directDraw.get());
    ZelUISystem::Renderer* renderer = create(&device, 0, false, nullptr, 0, 0);
    ASSERT_NE(renderer, nullptr) << lastError();
    const std::string& id = renderer->getIdString();
    EXPECT_EQ(id, "CDD7Render - DirectDraw 7 based renderer module");
    ZelUISystem::Texture* texture = renderer->createTexture(file, ".");
    EXPECT_EQ(texture->getFileName(), file);
    EXPECT_EQ(texture->getDirectory(), ".");
    EXPECT_EQ(texture->getResolvedPath(), std::string("./") + file);
    EXPECT_EQ(texture->getWidth(), 1u);
    destroy(renderer);
    std::remove(file);
}

}  // namespace
