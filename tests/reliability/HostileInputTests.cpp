// What a careless or hostile host hands the module: textures of another renderer or of its own
// making, textures released twice, a render pass without a target, rectangles and z values
// that are huge, negative, inverted, NaN or infinite, colours of every bit pattern, and null
// pointers in every slot that takes one. Each gets defined behaviour: no crash, no write
// outside a surface (the software DirectDraw guards every surface with protected pages), no
// leak, and the failure text where one is given.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostSession.h"
#include "SurfacePixels.h"
#include "core/ModuleCore.h"

namespace reliability {
namespace {

using ZelUISystem::CDD7Render;
using ZelUISystem::FloatRect;
using ZelUISystem::Renderer;
using ZelUISystem::Texture;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

const char kCreationPrefix[] = "dd7r --> createRenderer() error : ";

CDD7Render* asModuleRenderer(Renderer* renderer) { return static_cast<CDD7Render*>(renderer); }

// A texture of 8 x 8 opaque grey pixels (0xC0C0C0) that the host filled itself.
Texture* pixelTexture(Renderer* renderer) {
    Texture* texture = renderer->createTexture();
    std::vector<std::uint8_t> pixels(8 * 8 * 4, 0xC0);
    for (std::size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 0xFF;
    texture->loadFromMemory(pixels.data(), 8, 8, ZelUISystem::TEXFMT_RGBA);
    return texture;
}

std::string failureText(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no failure)";
}

// A texture the host made itself: not the module's, and never to be touched by it.
class HostOwnTexture final : public Texture {
public:
    HostOwnTexture() : Texture(nullptr) {}
    mutable int calls = 0;
    std::uint32_t getWidth() const override { return ++calls, 8; }
    std::uint32_t getHeight() const override { return ++calls, 8; }
    void loadFromFile(const char*, const char*) override { ++calls; }
    void loadFromMemory(const void*, std::uint32_t, std::uint32_t, ZelUISystem::TextureFormat) override { ++calls; }
    void fillFromMemory(const void*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                        ZelUISystem::TextureFormat) override {
        ++calls;
    }
    void* destroy(std::uint32_t) override { return ++calls, this; }
};

class HostileInput : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        renderer_ = host_.createRenderer();
        ASSERT_NE(nullptr, renderer_) << getLastErrorString();
    }
    void TearDown() override {
        destroyRenderer(renderer_);
        host_.releaseTarget();
        EXPECT_TRUE(nothingLeftBehind(host_.soft()));
    }

    HostSession host_{ddtest::TestDisplayFormat::Xrgb32, GetParam()};
    Renderer* renderer_ = nullptr;
};

TEST_P(HostileInput, TexturesOfAnotherRendererAreNeitherDrawnNorReleased) {
    Renderer* other = host_.createRenderer();
    ASSERT_NE(nullptr, other);
    Texture* foreign = pixelTexture(other);
    renderer_->setTargetSurface(host_.target());

    renderer_->submitQuad({0, 0, 8, 8}, 0, foreign, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    EXPECT_EQ(0u, asModuleRenderer(renderer_)->queuedQuadCount());
    renderer_->releaseTexture(foreign);
    const auto& otherTextures = asModuleRenderer(other)->textures();
    EXPECT_NE(otherTextures.end(), std::find(otherTextures.begin(), otherTextures.end(), static_cast<ZelUISystem::CDD7Texture*>(foreign)));

    // The other renderer still owns it and draws it.
    other->setTargetSurface(host_.target());
    other->submitQuad({0, 0, 8, 8}, 0, foreign, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    other->renderQueue();
    EXPECT_NE(0u, ddtest::readPixel(host_.target(), 3, 3) & 0xFFFFFF);
    destroyRenderer(other);
}

TEST_P(HostileInput, TexturesOfTheHostsOwnMakingAreNeverTouched) {
    HostOwnTexture own;
    renderer_->setTargetSurface(host_.target());
    renderer_->submitQuad({0, 0, 8, 8}, 0, &own, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->setQueueing(false);
    renderer_->submitQuad({0, 0, 8, 8}, 0, &own, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0x80FFFFFFu), 0);
    renderer_->renderQueue();
    renderer_->releaseTexture(&own);
    EXPECT_EQ(0, own.calls);
}

TEST_P(HostileInput, ATextureReleasedTwiceIsReleasedOnce) {
    const std::size_t ownSurfaces = host_.soft().liveSurfaceCount();
    Texture* texture = pixelTexture(renderer_);
    EXPECT_EQ(ownSurfaces + 1, host_.soft().liveSurfaceCount());
    renderer_->releaseTexture(texture);
    renderer_->releaseTexture(texture);
    EXPECT_EQ(ownSurfaces, host_.soft().liveSurfaceCount());

    // Nor is a released texture queued or drawn.
    renderer_->submitQuad({0, 0, 8, 8}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    EXPECT_EQ(0u, asModuleRenderer(renderer_)->queuedQuadCount());

    Texture* second = pixelTexture(renderer_);
    renderer_->releaseAllTextures();
    renderer_->releaseTexture(second);
    renderer_->releaseAllTextures();
    EXPECT_EQ(0u, host_.soft().releasedTooOftenCount());
    EXPECT_EQ(0u, host_.soft().usedAfterReleaseCount());
    // The renderer rebuilt its own textures and still draws.
    EXPECT_NE(nullptr, asModuleRenderer(renderer_)->scratchTexture());
}

TEST_P(HostileInput, StalePointersReachNeitherTheRenderersOwnTexturesNorNewOnes) {
    CDD7Render* renderer = asModuleRenderer(renderer_);
    ZelUISystem::CDD7Texture* const scratch = renderer->scratchTexture();
    ZelUISystem::CDD7Texture* const composition = renderer->compositionSurface();
    const std::size_t ownSurfaces = host_.soft().liveSurfaceCount();
    for (Texture* own : {static_cast<Texture*>(scratch), static_cast<Texture*>(composition)}) {
        if (own == nullptr) continue;
        renderer_->submitQuad({0, 0, 8, 8}, 0, own, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
        renderer_->releaseTexture(own);
    }
    EXPECT_EQ(0u, renderer->queuedQuadCount());
    EXPECT_EQ(scratch, renderer->scratchTexture());
    EXPECT_EQ(composition, renderer->compositionSurface());
    EXPECT_EQ(ownSurfaces, host_.soft().liveSurfaceCount());

    // Without a sanitizer holding freed memory back, the allocator would hand the released
    // texture's address to the next texture of the same size.
    Texture* released = pixelTexture(renderer_);
    renderer_->releaseTexture(released);
    std::vector<Texture*> madeAfter;
    for (int i = 0; i < 32; ++i) madeAfter.push_back(pixelTexture(renderer_));
    EXPECT_EQ(madeAfter.end(), std::find(madeAfter.begin(), madeAfter.end(), released));
    renderer_->releaseTexture(released);
    renderer_->submitQuad({0, 0, 8, 8}, 0, released, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    EXPECT_EQ(ownSurfaces + madeAfter.size(), host_.soft().liveSurfaceCount());
    EXPECT_EQ(0u, renderer->queuedQuadCount());
}

TEST_P(HostileInput, RenderQueueWithoutTargetKeepsThePictureForTheNextTarget) {
    Texture* texture = pixelTexture(renderer_);
    ddtest::fillBytes(host_.target(), 0);
    renderer_->submitQuad({4, 4, 12, 12}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->renderQueue();
    renderer_->renderQueue();
    EXPECT_EQ(0u, ddtest::readPixel(host_.target(), 6, 6));  // no target, nothing presented

    renderer_->setTargetSurface(host_.target());
    renderer_->renderQueue();
    // Composed once (blend mode 0) or kept in the queue (1, 2): the quad reaches the target now.
    EXPECT_EQ(0xC0C0C0u, ddtest::readPixel(host_.target(), 6, 6) & 0xFFFFFF);

    renderer_->setTargetSurface(nullptr);
    renderer_->setQueueing(false);
    renderer_->submitQuad({4, 4, 12, 12}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->renderQueue();
}

// Rectangles no host should send. Each is empty, inverted, or lies wholly outside the display.
const FloatRect kInvisibleRects[] = {
    {kNaN, kNaN, kNaN, kNaN},
    {kNaN, 0, kNaN, 40},
    {50, 40, 10, 5},
    {-100, -100, -50, -50},
    {1e9f, 1e9f, 1e9f + 64, 1e9f + 64},
    {-kInf, -kInf, -kInf, -kInf},
    {kInf, kInf, kInf, kInf},
    {64, 0, 200, 48},
    {0, 48, 64, 90},
    {3, 3, 3, 30},
    {-3e38f, -3e38f, -2147483904.0f, -2147483904.0f},
};

// Source rectangles outside, across or beyond the texture, inverted, huge or NaN.
const FloatRect kHostileSources[] = {
    {0, 0, 8, 8}, {kNaN, kNaN, kNaN, kNaN}, {-5, -5, 4, 4}, {4, 4, 100, 100}, {8, 8, 0, 0},
    {-kInf, 0, kInf, 8}, {0, 0, 3e38f, 3e38f}, {2147483648.0f, 0, 4294967296.0f, 8},
};

const std::uint32_t kColours[] = {0xFFFFFFFFu, 0x80FFFFFFu, 0x01020304u, 0xFF0000FFu, 0xFEFFFFFFu};

const float kHostileZ[] = {0.0f, kNaN, kInf, -kInf, -0.0f, 1e30f};

TEST_P(HostileInput, InvisibleRectanglesLeaveTheTargetUntouched) {
    Texture* texture = pixelTexture(renderer_);
    renderer_->setTargetSurface(host_.target());
    ddtest::fillBytes(host_.target(), 0x5A);
    const std::vector<std::uint8_t> before = ddtest::readBytes(host_.target());
    for (bool queueing : {true, false}) {
        renderer_->setQueueing(queueing);
        for (const FloatRect& dest : kInvisibleRects)
            for (const FloatRect& source : kHostileSources)
                for (std::uint32_t colour : kColours)
                    renderer_->submitQuad(dest, kHostileZ[colour % std::size(kHostileZ)], texture, source,
                                          dd7rfuzz::sameCorners(colour), -1);
        renderer_->renderQueue();
    }
    EXPECT_EQ(before, ddtest::readBytes(host_.target()));
}

TEST_P(HostileInput, HostileRectanglesAcrossTheDisplayAreClippedOrRefused) {
    Texture* texture = pixelTexture(renderer_);
    renderer_->setTargetSurface(host_.target());
    const FloatRect across[] = {{-10, -10, 20, 20}, {60, 40, 200, 200}, {-1e30f, -1e30f, 1e30f, 1e30f},
                                {-kInf, -kInf, kInf, kInf}, {0, 0, 64, 48}, {-2147483648.0f, 5, 2147483648.0f, 9},
                                {30.7f, 20.2f, 31.9f, 21.1f}, {0, kNaN, 64, kInf}};
    for (bool queueing : {true, false}) {
        renderer_->setQueueing(queueing);
        for (const FloatRect& dest : across)
            for (const FloatRect& source : kHostileSources)
                for (std::uint32_t colour : kColours)
                    for (float z : kHostileZ) renderer_->submitQuad(dest, z, texture, source, dd7rfuzz::sameCorners(colour), 0);
        renderer_->renderQueue();
        renderer_->discardQueue();
    }
    // The renderer still draws an ordinary quad afterwards.
    renderer_->setQueueing(true);
    ddtest::fillBytes(host_.target(), 0);
    renderer_->submitQuad({4, 4, 12, 12}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->renderQueue();
    EXPECT_EQ(0xC0C0C0u, ddtest::readPixel(host_.target(), 6, 6) & 0xFFFFFF);
}

TEST_P(HostileInput, NullPointersInEverySlotThatTakesOne) {
    renderer_->releaseTexture(nullptr);
    renderer_->submitQuad({0, 0, 8, 8}, 0, nullptr, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->setTargetSurface(nullptr);
    renderer_->renderQueue();
    renderer_->getDisplaySize(nullptr, nullptr);
    renderer_->getDisplayRect(nullptr, nullptr, nullptr, nullptr);
    renderer_->postD3DReset(nullptr);

    EXPECT_EQ("CDD7Render::createTexture failed from file data : "
              "(CDD7Texture::loadFromFileData -- Failed to load image from file data.)",
              failureText([&] { renderer_->createTexture(nullptr, 100u); }));
    EXPECT_EQ("CDD7Render::createTexture failed from file : (Texture file name should not be empty.)",
              failureText([&] { renderer_->createTexture(static_cast<const char*>(nullptr), nullptr); }));
    EXPECT_EQ(0u, failureText([&] { renderer_->createTexture(nullptr, "/nonexistent-dd7r/"); })
                      .rfind("CDD7Render::createTexture failed from file : /nonexistent-dd7r/(", 0));

    Texture* texture = renderer_->createTexture();
    for (bool inMemory : {false, true}) {
        texture->inMemory = inMemory;
        EXPECT_EQ(0u, failureText([&] { texture->loadFromMemory(nullptr, 4, 4, ZelUISystem::TEXFMT_RGBA); })
                          .rfind("CDD7Texture::", 0));
        EXPECT_EQ(0u, failureText([&] { texture->fillFromMemory(nullptr, 0, 0, 4, 4, 16, ZelUISystem::TEXFMT_BGRA); })
                          .rfind("CDD7Texture::", 0));
    }
    EXPECT_EQ("Texture file name should not be empty.", failureText([&] { texture->loadFromFile(nullptr, nullptr); }));
    EXPECT_EQ("CDD7Texture::loadFromFileData -- Failed to load image from file data.",
              failureText([&] { texture->loadFromFileData(nullptr, 4); }));
    renderer_->setTargetSurface(host_.target());
    renderer_->submitQuad({0, 0, 8, 8}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0xFFFFFFFFu), 0);
    renderer_->renderQueue();
}

std::string blendModeName(const ::testing::TestParamInfo<int>& info) { return "blend" + std::to_string(info.param); }

INSTANTIATE_TEST_SUITE_P(BlendModes, HostileInput, ::testing::Values(0, 1, 2), blendModeName);

TEST(HostileCreation, NullDeviceGivesNullRendererAndItsText) {
    EXPECT_EQ(nullptr, createRenderer(nullptr, 0, false, nullptr, 0, 0));
    EXPECT_EQ(std::string(kCreationPrefix) + "CDD7Render::CDD7Render() --> Renderer device is NULL.",
              getLastErrorString());
}

TEST(HostileCreation, DeviceWithoutDirectDrawGivesNullRendererAndItsText) {
    HostSession host(ddtest::TestDisplayFormat::Xrgb32, 0);
    host.device().directDraw = nullptr;
    EXPECT_EQ(nullptr, host.createRenderer());
    EXPECT_EQ(std::string(kCreationPrefix) +
                  "CDD7Render::CDD7Render() --> Renderer device can't get aviliable IDirectDraw7 object.",
              getLastErrorString());
    destroyRenderer(nullptr);
}

TEST(HostileCreation, HostileDisplaySizesFailCleanlyOrMakeAUsableRenderer) {
    const float sizes[] = {kNaN, -kInf, kInf, -1.0f, 0.0f, 0.5f, 4.3e9f, 1e9f};
    for (float size : sizes) {
        for (bool asWidth : {true, false}) {
            SCOPED_TRACE(std::to_string(size) + (asWidth ? " wide" : " high"));
            HostSession host(ddtest::TestDisplayFormat::Rgb565, 2);
            (asWidth ? host.device().width : host.device().height) = size;
            Renderer* renderer = host.createRenderer();
            if (renderer != nullptr) {
                Texture* texture = pixelTexture(renderer);
                renderer->setTargetSurface(host.target());
                renderer->submitQuad({0, 0, 8, 8}, 0, texture, {0, 0, 8, 8}, dd7rfuzz::sameCorners(0x80FFFFFFu), 0);
                renderer->renderQueue();
            } else {
                EXPECT_EQ(0u, std::string(getLastErrorString()).rfind(kCreationPrefix, 0));
            }
            destroyRenderer(renderer);
            host.releaseTarget();
            EXPECT_TRUE(nothingLeftBehind(host.soft()));
        }
    }
}

}  // namespace
}  // namespace reliability
