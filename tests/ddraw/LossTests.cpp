// Lost surfaces: which surfaces a display change loses, what works on a lost surface, and
// Restore keeping pixels and keys.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using LossTest = DirectDrawTest;

TEST_F(LossTest, OnlySurfacesNotAskedInSystemMemoryAreLost) {
    SurfacePtr system = surface(4, 4, std::nullopt, MemoryCaps::System);
    SurfacePtr unspecified = surface(4, 4, std::nullopt, MemoryCaps::None);
    ASSERT_TRUE(system && unspecified);
    EXPECT_HR(DD_OK, unspecified->IsLost());
    loseAllSurfaces(directDraw());
    EXPECT_HR(DD_OK, system->IsLost());
    EXPECT_HR(DDERR_SURFACELOST, unspecified->IsLost());
    EXPECT_HR(DD_OK, directDraw()->TestCooperativeLevel());
    SurfacePtr createdAfter = surface(4, 4, std::nullopt, MemoryCaps::None);
    ASSERT_TRUE(createdAfter);
    EXPECT_HR(DD_OK, createdAfter->IsLost());
}

TEST_F(LossTest, RestoreKeepsPixelsAndKey) {
    SurfacePtr lost = surface(4, 4, std::nullopt, MemoryCaps::None);
    ASSERT_TRUE(lost);
    writePixels(lost.get(), numberedPixels(16));
    DDCOLORKEY key{7, 7};
    ASSERT_HR(DD_OK, lost->SetColorKey(DDCKEY_SRCBLT, &key));
    loseAllSurfaces(directDraw());
    ASSERT_HR(DDERR_SURFACELOST, lost->IsLost());
    EXPECT_HR(DD_OK, lost->Restore());
    EXPECT_HR(DD_OK, lost->IsLost());
    EXPECT_EQ(numberedPixels(16), readPixels(lost.get()));
    DDCOLORKEY got{};
    EXPECT_HR(DD_OK, lost->GetColorKey(DDCKEY_SRCBLT, &got));
    EXPECT_EQ(7u, got.dwColorSpaceLowValue);
    EXPECT_HR(DD_OK, lost->Restore());  // not lost: nothing changes
    EXPECT_EQ(numberedPixels(16), readPixels(lost.get()));
    SurfacePtr system = surface(4, 4, std::nullopt, MemoryCaps::System);
    ASSERT_TRUE(system);
    EXPECT_HR(DD_OK, system->Restore());
}

TEST_F(LossTest, LockFailsButBlitsFillsAndQueriesWork) {
    SurfacePtr lost = surface(4, 4, std::nullopt, MemoryCaps::None);
    SurfacePtr other = surface(4, 4, std::nullopt, MemoryCaps::System);
    ASSERT_TRUE(lost && other);
    writePixels(other.get(), numberedPixels(16));
    loseAllSurfaces(directDraw());
    ASSERT_HR(DDERR_SURFACELOST, lost->IsLost());

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_HR(DDERR_SURFACELOST, lost->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_HR(DD_OK, lost->GetSurfaceDesc(&desc));
    DDCOLORKEY key{3, 3};
    EXPECT_HR(DD_OK, lost->SetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_HR(DD_OK, lost->GetColorKey(DDCKEY_SRCBLT, &key));

    EXPECT_HR(DD_OK, lost->BltFast(0, 0, other.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_HR(DD_OK, other->Blt(nullptr, lost.get(), nullptr, DDBLT_WAIT, nullptr));
    EXPECT_HR(DD_OK, other->BltFast(0, 0, lost.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(numberedPixels(16), readPixels(other.get()));  // drawn through the lost surface

    EXPECT_HR(DD_OK, colorFill(lost.get(), nullptr, 0x00654321));
    ASSERT_HR(DD_OK, lost->Restore());
    EXPECT_EQ(std::vector<DWORD>(16, 0x00654321), readPixels(lost.get()));
}

}  // namespace
}  // namespace ddtest
