// COM reference counts of the DirectDraw object and its surfaces.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

TEST(ReferenceCountTest, EachLiveSurfaceHoldsOneReferenceOnTheDirectDraw) {
    IDirectDraw7* directDraw = createTestDirectDraw(TestDisplayFormat::Xrgb32);
    ASSERT_NE(nullptr, directDraw);
    EXPECT_EQ(2u, directDraw->AddRef());
    EXPECT_EQ(1u, directDraw->Release());

    IDirectDrawSurface7* first = createTestSurface(directDraw, 4, 4);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(3u, directDraw->AddRef());
    EXPECT_EQ(2u, directDraw->Release());
    IDirectDrawSurface7* second = createTestSurface(directDraw, 4, 4, std::nullopt, MemoryCaps::None);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(4u, directDraw->AddRef());
    EXPECT_EQ(3u, directDraw->Release());

    EXPECT_EQ(2u, first->AddRef());
    EXPECT_EQ(1u, first->Release());
    EXPECT_EQ(0u, first->Release());
    EXPECT_EQ(3u, directDraw->AddRef());
    EXPECT_EQ(2u, directDraw->Release());
    EXPECT_EQ(0u, second->Release());
    EXPECT_EQ(2u, directDraw->AddRef());
    EXPECT_EQ(1u, directDraw->Release());
    releaseTestDirectDraw(directDraw);
}

TEST(ReferenceCountTest, SurfacesKeepTheDirectDrawAliveAfterItsOwnerReleasedIt) {
    IDirectDraw7* directDraw = createTestDirectDraw(TestDisplayFormat::Xrgb32);
    ASSERT_NE(nullptr, directDraw);
    IDirectDrawSurface7* surface = createTestSurface(directDraw, 4, 4);
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(1u, directDraw->Release());
    EXPECT_HR(DD_OK, colorFill(surface, nullptr, 0x112233));  // still usable
    EXPECT_EQ(0x112233u, readPixel(surface, 1, 1));
    EXPECT_EQ(0u, surface->Release());  // frees the DirectDraw object too
}

}  // namespace
}  // namespace ddtest
