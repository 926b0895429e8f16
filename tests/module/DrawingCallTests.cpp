// The DirectDraw calls quad drawing makes, read from the software DirectDraw's call log, and the
// failures it reports (native build: the stand-in's hooks).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "support/SceneFixture.h"

#if DD7R_TEST_SOFT_DDRAW

using namespace ZelUISystem;
using moduletest::recordedCalls;
using moduletest::SceneFormat;
using softddraw::CallRecord;
using softddraw::Operation;

namespace {

RECT rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

CallRecord isLost(const IDirectDrawSurface7* surface) {
    CallRecord call;
    call.operation = Operation::IsLost;
    call.surface = surface;
    return call;
}

CallRecord blt(const IDirectDrawSurface7* surface, std::optional<RECT> dest, const IDirectDrawSurface7* source,
               std::optional<RECT> sourceRect, DWORD flags, std::optional<softddraw::BltFxRecord> fx) {
    CallRecord call;
    call.operation = Operation::Blt;
    call.surface = surface;
    call.destRect = dest;
    call.source = source;
    call.sourceRect = sourceRect;
    call.flags = flags;
    call.fx = fx;
    return call;
}

CallRecord bltFast(const IDirectDrawSurface7* surface, DWORD x, DWORD y, const IDirectDrawSurface7* source,
                   RECT sourceRect, DWORD flags) {
    CallRecord call;
    call.operation = Operation::BltFast;
    call.surface = surface;
    call.x = x;
    call.y = y;
    call.source = source;
    call.sourceRect = sourceRect;
    call.flags = flags;
    return call;
}

CallRecord lockOrUnlock(Operation operation, const IDirectDrawSurface7* surface, RECT area, DWORD flags) {
    CallRecord call;
    call.operation = operation;
    call.surface = surface;
    call.destRect = area;
    call.flags = flags;
    // Blending asks Lock for the pointer and the pitch only (Lock fills in the pixel format anyway).
    if (operation == Operation::Lock) {
        call.desc.emplace();
        call.desc->size = sizeof(DDSURFACEDESC2);
        call.desc->flags = DDSD_PITCH | DDSD_LPSURFACE;
    }
    return call;
}

softddraw::BltFxRecord fx(DWORD fill, DWORD key) { return {sizeof(DDBLTFX), fill, DDCOLORKEY{key, key}}; }

class DrawingCallTest : public moduletest::SceneFixture {
protected:
    softddraw::SoftDirectDraw* soft() { return ddtest::asSoft(directDraw.get()); }
    std::vector<CallRecord> callsAfter(const std::function<void()>& action) {
        soft()->clearCallLog();
        action();
        return soft()->callLog();
    }
};

TEST_F(DrawingCallTest, TintGoesThroughTheScratchInThreeBlits) {
    buildScene(0, SceneFormat::Rgb565, 8, 4);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({255, 255, 255, 0, 0, 0, 0, 255, 0}, 3, 1, TEXFMT_RGB, true);
    IDirectDrawSurface7* scratch = renderer->scratchTexture()->surface();
    const auto calls = callsAfter([&] {
        renderer->submitQuad(FloatRect{1.9f, 1.2f, 4.7f, 2.99f}, 0, texture, FloatRect{0, 0, 3, 1},
                             CornerColours{{0x80FF0000u, 0x80FF0000u, 0x80FF0000u, 0x80FF0000u}}, 0);
    });
    const RECT dest = rect(1, 1, 4, 2);
    const std::vector<CallRecord> expected = {
        isLost(texture->surface()),
        blt(scratch, dest, nullptr, std::nullopt, 0x01000400, fx(0xF800, 0xFFFF)),
        blt(scratch, dest, texture->surface(), rect(0, 0, 3, 1), 0x01010000, fx(0xF800, 0xFFFF)),
        blt(target.get(), dest, scratch, dest, 0x01010000, fx(0xF800, 0)),
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(DrawingCallTest, TintFallsBackToAPlainCopyWhenABlitFails) {
    buildScene(0, SceneFormat::Xrgb32, 8, 4);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({255, 255, 255, 1, 2, 3}, 2, 1, TEXFMT_RGB, true);
    soft()->failNthCall(Operation::Blt, 2, DDERR_SURFACEBUSY);
    const auto calls = callsAfter([&] { submit(texture, rect(0, 0, 2, 1), rect(0, 0, 2, 1), 0xFF00FF00u); });
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3], bltFast(target.get(), 0, 0, texture->surface(), rect(0, 0, 2, 1), DDBLTFAST_WAIT));
    EXPECT_EQ(targetPixel(0, 0), 0xFFFFFFFFu);  // untinted
}

TEST_F(DrawingCallTest, BlendedQuadLocksBothRectanglesAndUnlocksThem) {
    buildScene(2, SceneFormat::Xrgb32, 16, 8);
    renderer->setQueueing(false);
    CDD7Texture* texture = solidTexture(8, 8, 10, 20, 30);
    const auto calls = callsAfter([&] { submit(texture, rect(2, 3, 6, 5), rect(1, 1, 5, 3), 0x80FFFFFFu); });
    const std::vector<CallRecord> expected = {
        isLost(texture->surface()),
        lockOrUnlock(Operation::Lock, target.get(), rect(2, 3, 6, 5), DDLOCK_WAIT),
        lockOrUnlock(Operation::Lock, texture->surface(), rect(1, 1, 5, 3), DDLOCK_WAIT),
        lockOrUnlock(Operation::Unlock, target.get(), rect(2, 3, 6, 5), 0),
        lockOrUnlock(Operation::Unlock, texture->surface(), rect(1, 1, 5, 3), 0),
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(DrawingCallTest, StretchedBlendGoesThroughTheScratchAndReportsAFailedStretch) {
    enableLogging(1);
    buildScene(1, SceneFormat::Xrgb32, 16, 8);
    renderer->setQueueing(false);
    CDD7Texture* texture = solidTexture(2, 2, 10, 20, 30);
    IDirectDrawSurface7* scratch = renderer->scratchTexture()->surface();
    auto calls = callsAfter([&] { submit(texture, rect(0, 0, 4, 4), rect(0, 0, 2, 2), 0x80FFFFFFu); });
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[1], blt(scratch, rect(0, 0, 4, 4), texture->surface(), rect(0, 0, 2, 2), DDBLT_WAIT, std::nullopt));
    EXPECT_EQ(calls[2], lockOrUnlock(Operation::Lock, target.get(), rect(0, 0, 4, 4), DDLOCK_WAIT));
    EXPECT_EQ(calls[3], lockOrUnlock(Operation::Lock, scratch, rect(0, 0, 4, 4), DDLOCK_WAIT));
    EXPECT_EQ(renderer->scratchTexture()->rgbMode(), DDS_RGBMODE_32);

    soft()->failNthCall(Operation::Blt, 1, DDERR_SURFACELOST);
    calls = callsAfter([&] { submit(texture, rect(0, 0, 4, 4), rect(0, 0, 2, 2), 0x80FFFFFFu); });
    EXPECT_EQ(calls.size(), 2u);  // nothing after the failed stretch
    EXPECT_EQ(recordedCalls("log"),
              std::vector<std::string>{"log 1 with alpha blend strecth blt source surface error(-2005532222) DDERR_SURFACELOST"});
}

TEST_F(DrawingCallTest, StretchedKeyedCopyReportsItsOwnFailureText) {
    enableLogging(1);
    buildScene(0, SceneFormat::Xrgb32, 16, 8);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({1, 2, 3, 255}, 1, 1, TEXFMT_RGBA);
    // A destination rectangle that does not fit the scratch texture fails the stretch.
    submit(texture, rect(10, 0, 20, 4), rect(0, 0, 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(recordedCalls("log"),
              std::vector<std::string>{"log 1 with out alpha blend strecth blt source surface error(-2005532522) DDERR_INVALIDRECT"});
}

TEST_F(DrawingCallTest, KeyedStretchCopiesTheSourceKeyToTheScratch) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8);
    renderer->setQueueing(false);
    CDD7Texture* texture = textureFromPixels({1, 2, 3, 255}, 1, 1, TEXFMT_RGBA);
    IDirectDrawSurface7* scratch = renderer->scratchTexture()->surface();
    const auto calls = callsAfter([&] { submit(texture, rect(2, 2, 4, 4), rect(0, 0, 1, 1), 0xFFFFFFFFu); });
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2].operation, Operation::GetColorKey);
    EXPECT_EQ(calls[2].surface, texture->surface());
    EXPECT_EQ(calls[3].operation, Operation::SetColorKey);
    EXPECT_EQ(calls[3].surface, scratch);
    EXPECT_EQ(calls[3].flags, DDCKEY_SRCBLT);
    EXPECT_EQ(calls[4], bltFast(target.get(), 2, 2, scratch, rect(2, 2, 4, 4), 0x11));
}

TEST_F(DrawingCallTest, PresentAndDiscardUseTheirFlags) {
    buildScene(0, SceneFormat::Xrgb32, 16, 8);
    IDirectDrawSurface7* canvas = renderer->compositionSurface()->surface();
    auto calls = callsAfter([&] { renderer->renderQueue(); });
    EXPECT_EQ(calls, std::vector<CallRecord>{bltFast(target.get(), 0, 0, canvas, rect(0, 0, 16, 8), 0x21)});
    calls = callsAfter([&] { renderer->discardQueue(); });
    EXPECT_EQ(calls, std::vector<CallRecord>{blt(canvas, std::nullopt, nullptr, std::nullopt, 0x400, fx(0, 0))});
}

TEST_F(DrawingCallTest, EightBitSourcesAreCopiedNeverBlended) {
    auto dd8 = ddtest::TestDirectDrawPtr(ddtest::createTestDirectDraw(ddtest::TestDisplayFormat::Palettized8));
    device.directDraw = dd8.get();
    device.blendMode = 2;
    renderer = makeRenderer();
    ddtest::SurfacePtr target8(ddtest::createTestSurface(dd8.get(), 16, 8));
    ASSERT_EQ(ddtest::colorFill(target8.get(), nullptr, 0x33), DD_OK);
    renderer->setTargetSurface(target8.get());
    renderer->setQueueing(false);

    // An 8-bit texture: a blank surface whose layout the upload discovers (and refuses).
    CDD7Texture* texture = asTexture(renderer->createTexture());
    texture->CreateBlankSurface(4, 4);
    EXPECT_THROW(texture->fillFromMemory("\1\2\3\4", 0, 0, 1, 1, 4, TEXFMT_RGBA), std::exception);
    ASSERT_EQ(texture->rgbMode(), DDS_RGBMODE_8);
    ASSERT_EQ(ddtest::colorFill(texture->surface(), nullptr, 0x77), DD_OK);
    auto* soft8 = ddtest::asSoft(dd8.get());
    soft8->clearCallLog();
    renderer->submitQuad(FloatRect{0, 0, 4, 4}, 0, texture, FloatRect{0, 0, 4, 4},
                         CornerColours{{0x80FF0000u, 0x80FF0000u, 0x80FF0000u, 0x80FF0000u}}, 0);
    EXPECT_TRUE(soft8->callsOf(Operation::Lock).empty());
    EXPECT_EQ(ddtest::readPixel(target8.get(), 1, 1), 0x77u);
    renderer.reset();
    target8.reset();
    device.directDraw = directDraw.get();
}

// Larger z first, equal z in submission order, NaN after every number and -0 equal to +0: for a
// queue that is kept from pass to pass, gets more quads and loses a released texture's quads.
TEST_F(DrawingCallTest, KeptQueueDrawsByZAcrossPassesAndReleases) {
    buildScene(2, SceneFormat::Xrgb32, 16, 8);
    CDD7Texture* kept = solidTexture(1, 1, 10, 20, 30);
    CDD7Texture* released = solidTexture(1, 1, 40, 50, 60);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Beside the special values, numbers just above 1 that differ in one byte of their pattern.
    auto justAboveOne = [](std::uint32_t low) {
        const std::uint32_t bits = 0x3F800000u | low;
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    };
    const float special[] = {nan, -inf, inf, 0.0f, -0.0f, 1e-40f, -1e-40f, 1e30f, -1e30f,
                             std::copysign(nan, -1.0f), justAboveOne(1), justAboveOne(0x100),
                             justAboveOne(0x10000), 1.0f};
    std::vector<float> z;
    for (int i = 0; i < 100; ++i)
        z.push_back(i % 3 == 0 ? special[(i / 3) % std::size(special)]
                               : static_cast<float>((i * 37) % 11 - 5) * 0.3f);
    // Quad i is a 1x1 copy at (i % 16, i / 16), which tells the copies apart in the call log.
    auto submitQuad = [&](int i) {
        submit(i % 7 == 3 ? released : kept, rect(i % 16, i / 16, i % 16 + 1, i / 16 + 1), rect(0, 0, 1, 1),
               0xFFFFFFFFu, z[i]);
    };
    auto expectedOrder = [&](int count) {
        std::vector<int> order;
        for (int i = 0; i < count; ++i)
            if (count <= 60 || i % 7 != 3) order.push_back(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (std::isnan(z[a])) return false;
            return std::isnan(z[b]) || z[a] > z[b];
        });
        return order;
    };
    auto drawnOrder = [&] {
        std::vector<int> order;
        for (const CallRecord& call : callsAfter([&] { renderer->renderQueue(); }))
            if (call.operation == Operation::BltFast) order.push_back(static_cast<int>(call.y * 16 + call.x));
        return order;
    };

    for (int i = 0; i < 60; ++i) submitQuad(i);
    EXPECT_EQ(drawnOrder(), expectedOrder(60));
    for (int i = 60; i < 100; ++i) submitQuad(i);
    renderer->releaseTexture(released);
    EXPECT_EQ(renderer->queuedQuadCount(), expectedOrder(100).size());
    EXPECT_EQ(drawnOrder(), expectedOrder(100));
    EXPECT_EQ(drawnOrder(), expectedOrder(100));
}

}  // namespace

#endif
