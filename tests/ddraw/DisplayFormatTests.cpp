// Test DirectDraw objects for each display layout: surfaces created without a pixel format take
// the display's layout. Wine (headless) shows 32-bit X8R8G8B8 and 16-bit R5G6B5 displays only;
// the software DirectDraw shows all five layouts.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

struct DisplayCase {
    TestDisplayFormat display;
    DWORD flags, bitCount, red, green, blue;
    LONG pitchOfWidth5;
};

void expectDefaultSurfacesTakeTheDisplayLayout(const DisplayCase& display) {
    SCOPED_TRACE(displayFormatName(display.display));
    TestDirectDrawPtr directDraw(createTestDirectDraw(display.display));
    ASSERT_NE(nullptr, directDraw);
    SurfacePtr created(createTestSurface(directDraw.get(), 5, 2));
    ASSERT_TRUE(created);
    const DDSURFACEDESC2 desc = surfaceDesc(created.get());
    EXPECT_EQ(display.flags, desc.ddpfPixelFormat.dwFlags);
    EXPECT_EQ(display.bitCount, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(display.red, desc.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(display.green, desc.ddpfPixelFormat.dwGBitMask);
    EXPECT_EQ(display.blue, desc.ddpfPixelFormat.dwBBitMask);
    EXPECT_EQ(display.pitchOfWidth5, desc.lPitch);
    // A surface asked in another layout keeps it.
    SurfacePtr other(createTestSurface(directDraw.get(), 5, 2, softddraw::rgb24Format()));
    ASSERT_TRUE(other);
    EXPECT_EQ(24u, surfaceDesc(other.get()).ddpfPixelFormat.dwRGBBitCount);
}

TEST(DisplayFormatTest, DefaultSurfacesTakeTheDisplayLayout) {
    expectDefaultSurfacesTakeTheDisplayLayout(
        {TestDisplayFormat::Xrgb32, DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0000FF, 24});
    expectDefaultSurfacesTakeTheDisplayLayout(
        {TestDisplayFormat::Rgb565, DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 16});
}

#if DD7R_TEST_SOFT_DDRAW
TEST(SoftDisplayFormatTest, EveryDrawableLayoutCanBeTheDisplay) {
    expectDefaultSurfacesTakeTheDisplayLayout(
        {TestDisplayFormat::Rgb555, DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F, 16});
    expectDefaultSurfacesTakeTheDisplayLayout(
        {TestDisplayFormat::Rgb24, DDPF_RGB, 24, 0xFF0000, 0x00FF00, 0x0000FF, 16});
    expectDefaultSurfacesTakeTheDisplayLayout(
        {TestDisplayFormat::Palettized8, DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 8});
}
#endif

}  // namespace
}  // namespace ddtest
