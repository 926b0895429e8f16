// The software DirectDraw's test hooks (native build only): fault injection, the call log,
// surface loss on demand, live-surface and surplus-release counts, the cooperative level
// switch, video memory, and the guard page behind every surface.

#include "ConformanceFixture.h"

#include <functional>

#if DD7R_TEST_SOFT_DDRAW

namespace ddtest {
namespace {

using softddraw::CallRecord;
using softddraw::Operation;
using softddraw::SoftDirectDraw;

class SoftHookTest : public DirectDrawTest {
protected:
    SoftDirectDraw& soft() { return *asSoft(directDraw()); }
};

TEST_F(SoftHookTest, NthCallFailsOnceAndOnlyThatOperation) {
    SurfacePtr target = surface(4, 4);
    ASSERT_TRUE(target);
    soft().failNthCall(Operation::Blt, 2, DDERR_GENERIC);
    EXPECT_HR(DD_OK, colorFill(target.get(), nullptr, 1));
    EXPECT_HR(DD_OK, target->BltFast(0, 0, target.get(), nullptr, 0));  // other operation
    EXPECT_HR(DDERR_GENERIC, colorFill(target.get(), nullptr, 2));
    EXPECT_HR(DD_OK, colorFill(target.get(), nullptr, 3));
    EXPECT_EQ(3u, readPixel(target.get(), 0, 0));
}

TEST_F(SoftHookTest, FailedCallsHaveNoEffect) {
    SurfacePtr target = surface(4, 4);
    ASSERT_TRUE(target);
    colorFill(target.get(), nullptr, 9);
    soft().failAllCalls(Operation::Blt, DDERR_SURFACEBUSY);
    EXPECT_HR(DDERR_SURFACEBUSY, colorFill(target.get(), nullptr, 1));
    EXPECT_HR(DDERR_SURFACEBUSY, colorFill(target.get(), nullptr, 1));
    soft().clearFaults();
    EXPECT_EQ(9u, readPixel(target.get(), 0, 0));

    soft().failNthCall(Operation::Lock, 1, DDERR_SURFACELOST);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_HR(DDERR_SURFACELOST, target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_HR(DDERR_NOTLOCKED, target->Unlock(nullptr));

    soft().failNthCall(Operation::CreateSurface, 1, DDERR_OUTOFVIDEOMEMORY);
    IDirectDrawSurface7* created = nullptr;
    EXPECT_HR(DDERR_OUTOFVIDEOMEMORY, createSurface(directDraw(), SurfaceRequest{}, &created));
    EXPECT_EQ(nullptr, created);
    EXPECT_EQ(1u, soft().liveSurfaceCount());
}

TEST_F(SoftHookTest, EveryOperationCanBeMadeToFail) {
    SurfacePtr target = surface(4, 4);
    SurfacePtr source = surface(4, 4);
    ASSERT_TRUE(target && source);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    DDCOLORKEY key{0, 0};
    ASSERT_HR(DD_OK, target->Lock(nullptr, &desc, 0, nullptr));
    const HRESULT injected = DDERR_UNSUPPORTED;
    const struct {
        Operation operation;
        std::function<HRESULT()> call;
        HRESULT expected;
    } calls[] = {
        {Operation::Unlock, [&] { return target->Unlock(nullptr); }, injected},
        {Operation::Lock, [&] { return source->Lock(nullptr, &desc, 0, nullptr); }, injected},
        {Operation::Blt, [&] { return source->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr); }, injected},
        {Operation::BltFast, [&] { return source->BltFast(0, 0, source.get(), nullptr, 0); }, injected},
        {Operation::GetSurfaceDesc, [&] { return source->GetSurfaceDesc(&desc); }, injected},
        {Operation::GetColorKey, [&] { return source->GetColorKey(DDCKEY_SRCBLT, &key); }, injected},
        {Operation::SetColorKey, [&] { return source->SetColorKey(DDCKEY_SRCBLT, &key); }, injected},
        {Operation::IsLost, [&] { return source->IsLost(); }, DDERR_SURFACELOST},
        {Operation::Restore, [&] { return source->Restore(); }, injected},
        {Operation::TestCooperativeLevel, [&] { return directDraw()->TestCooperativeLevel(); }, injected},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(softddraw::operationName(call.operation));
        soft().failNthCall(call.operation, 1, injected);
        EXPECT_HR(call.expected, call.call());
    }
    EXPECT_HR(DD_OK, target->Unlock(nullptr));  // the injected Unlock left it locked
    EXPECT_HR(DD_OK, source->IsLost());
    EXPECT_HR(DD_OK, directDraw()->TestCooperativeLevel());
}

TEST_F(SoftHookTest, CallLogRecordsArgumentsAndResults) {
    soft().clearCallLog();
    SurfaceRequest request{6, 5, softddraw::rgb565Format(), MemoryCaps::None, DDCOLORKEY{0, 0}};
    IDirectDrawSurface7* created = nullptr;
    ASSERT_HR(DD_OK, createSurface(directDraw(), request, &created));
    SurfacePtr owned(created);
    SurfacePtr source = surface(2, 2, softddraw::rgb565Format());
    ASSERT_TRUE(source);
    soft().clearCallLog();

    RECT destRect = rect(1, 1, 3, 3);
    RECT sourceRect = rect(0, 0, 2, 2);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.ddckSrcColorkey = DDCOLORKEY{4, 4};
    EXPECT_HR(DD_OK, created->Blt(&destRect, source.get(), &sourceRect,
                                  DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx));
    EXPECT_HR(DDERR_INVALIDRECT, created->BltFast(5, 4, source.get(), nullptr, DDBLTFAST_SRCCOLORKEY));
    EXPECT_HR(DD_OK, created->IsLost());

    CallRecord blt;
    blt.operation = Operation::Blt;
    blt.surface = created;
    blt.flags = DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT;
    blt.destRect = destRect;
    blt.source = source.get();
    blt.sourceRect = sourceRect;
    blt.fx = softddraw::BltFxRecord{sizeof(DDBLTFX), 0, DDCOLORKEY{4, 4}};
    CallRecord bltFast;
    bltFast.operation = Operation::BltFast;
    bltFast.surface = created;
    bltFast.flags = DDBLTFAST_SRCCOLORKEY;
    bltFast.source = source.get();
    bltFast.x = 5;
    bltFast.y = 4;
    bltFast.result = DDERR_INVALIDRECT;
    CallRecord isLost;
    isLost.operation = Operation::IsLost;
    isLost.surface = created;
    EXPECT_EQ((std::vector<CallRecord>{blt, bltFast, isLost}), soft().callLog());
    EXPECT_EQ(std::vector<CallRecord>{bltFast}, soft().callsOf(Operation::BltFast));
}

TEST_F(SoftHookTest, CallLogRecordsCreationRequests) {
    soft().clearCallLog();
    SurfaceRequest request{6, 5, softddraw::rgb565Format(), MemoryCaps::None, DDCOLORKEY{0, 0}};
    IDirectDrawSurface7* created = nullptr;
    ASSERT_HR(DD_OK, createSurface(directDraw(), request, &created));
    SurfacePtr owned(created);
    request.memory = MemoryCaps::Video;
    IDirectDrawSurface7* refused = nullptr;
    EXPECT_HR(DDERR_NODIRECTDRAWHW, createSurface(directDraw(), request, &refused));

    const std::vector<CallRecord> calls = soft().callLog();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(created, calls[0].surface);
    ASSERT_TRUE(calls[0].desc.has_value());
    softddraw::SurfaceDescRecord expected;
    expected.size = sizeof(DDSURFACEDESC2);
    expected.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_CKSRCBLT;
    expected.caps = DDSCAPS_OFFSCREENPLAIN;
    expected.width = 6;
    expected.height = 5;
    expected.pixelFormat = softddraw::rgb565Format();
    expected.sourceKey = DDCOLORKEY{0, 0};
    EXPECT_TRUE(expected == *calls[0].desc) << calls[0];
    EXPECT_EQ(nullptr, calls[1].surface);
    EXPECT_HR(DDERR_NODIRECTDRAWHW, calls[1].result);
    EXPECT_EQ(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, calls[1].desc->caps);
    soft().clearCallLog();
    EXPECT_TRUE(soft().callLog().empty());
}

TEST_F(SoftHookTest, LoseSurfaceRespectsTheSystemMemoryRule) {
    SurfacePtr system = surface(2, 2, std::nullopt, MemoryCaps::System);
    SurfacePtr unspecified = surface(2, 2, std::nullopt, MemoryCaps::None);
    SurfacePtr bystander = surface(2, 2, std::nullopt, MemoryCaps::None);
    ASSERT_TRUE(system && unspecified && bystander);
    soft().loseSurface(system.get());
    soft().loseSurface(unspecified.get());
    EXPECT_HR(DD_OK, system->IsLost());
    EXPECT_HR(DDERR_SURFACELOST, unspecified->IsLost());
    EXPECT_HR(DD_OK, bystander->IsLost());
}

TEST_F(SoftHookTest, CountsLiveSurfacesAndSurplusReleases) {
    EXPECT_EQ(0u, soft().liveSurfaceCount());
    IDirectDrawSurface7* first = createTestSurface(directDraw(), 2, 2);
    IDirectDrawSurface7* second = createTestSurface(directDraw(), 2, 2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(2u, soft().liveSurfaceCount());
    EXPECT_EQ(0u, first->Release());
    EXPECT_EQ(1u, soft().liveSurfaceCount());
    EXPECT_EQ(0u, soft().releasedTooOftenCount());
    EXPECT_EQ(0u, first->Release());  // one Release too many
    EXPECT_EQ(1u, soft().releasedTooOftenCount());
    EXPECT_HR(DDERR_INVALIDOBJECT, first->IsLost());
    EXPECT_EQ(1u, soft().usedAfterReleaseCount());
    EXPECT_HR(DDERR_INVALIDOBJECT, second->BltFast(0, 0, first, nullptr, 0));
    EXPECT_EQ(0u, second->Release());
    EXPECT_EQ(0u, soft().liveSurfaceCount());
}

TEST_F(SoftHookTest, LostCooperativeLevelFailsTestAndRestore) {
    SurfacePtr unspecified = surface(2, 2, std::nullopt, MemoryCaps::None);
    ASSERT_TRUE(unspecified);
    soft().loseAllSurfaces();
    soft().setCooperativeLevelLost(true);
    EXPECT_HR(DDERR_NOEXCLUSIVEMODE, directDraw()->TestCooperativeLevel());
    EXPECT_HR(DDERR_WRONGMODE, unspecified->Restore());
    EXPECT_HR(DDERR_SURFACELOST, unspecified->IsLost());
    soft().setCooperativeLevelLost(false);
    EXPECT_HR(DD_OK, directDraw()->TestCooperativeLevel());
    EXPECT_HR(DD_OK, unspecified->Restore());
    EXPECT_HR(DD_OK, unspecified->IsLost());
}

TEST(SoftVideoMemoryTest, WithVideoMemoryUnspecifiedSurfacesGoThereAndCanBeLost) {
    SoftDirectDraw* soft = SoftDirectDraw::create(softddraw::xrgb32Format());
    for (MemoryCaps memory : {MemoryCaps::Video, MemoryCaps::None}) {
        IDirectDrawSurface7* created = nullptr;
        ASSERT_HR(DD_OK, createSurface(soft, SurfaceRequest{4, 4, std::nullopt, memory, std::nullopt}, &created));
        EXPECT_EQ(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, surfaceDesc(created).ddsCaps.dwCaps);
        soft->loseAllSurfaces();
        EXPECT_HR(DDERR_SURFACELOST, created->IsLost());
        created->Release();
    }
    EXPECT_EQ(0u, soft->Release());
}

TEST(SoftGuardPageDeathTest, WritingPastTheLastRowFaults) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TestDirectDrawPtr directDraw(createTestDirectDraw());
    SurfacePtr guarded(createTestSurface(directDraw.get(), 5, 3));  // pitch 24: 72 bytes
    ASSERT_TRUE(guarded);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_HR(DD_OK, guarded->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    auto* bytes = static_cast<volatile std::uint8_t*>(desc.lpSurface);
    bytes[71] = 1;  // the last byte of the last row is writable
    EXPECT_DEATH(bytes[72] = 1, "");
    guarded->Unlock(nullptr);
}

}  // namespace
}  // namespace ddtest

#endif
