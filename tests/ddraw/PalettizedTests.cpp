// 8-bit palettized surfaces without a palette: indices are copied, filled and keyed raw.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using PalettizedTest = DirectDrawTest;

TEST_F(PalettizedTest, LockReportsThePalettizedLayout) {
    SurfacePtr indexed = surface(10, 6, layoutNamed("P8"));
    ASSERT_TRUE(indexed);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_HR(DD_OK, indexed->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(16, desc.lPitch);
    EXPECT_EQ(0x60u, desc.ddpfPixelFormat.dwFlags);
    EXPECT_EQ(8u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0u, desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask |
                      desc.ddpfPixelFormat.dwBBitMask | desc.ddpfPixelFormat.dwRGBAlphaBitMask);
    indexed->Unlock(nullptr);
}

TEST_F(PalettizedTest, IndicesAreCopiedAndFilledRaw) {
    const std::vector<DWORD> indices = {0, 1, 0x7F, 0x80, 0xFE, 0xFF};
    SurfacePtr source = rowSurface(indices, layoutNamed("P8"));
    SurfacePtr dest = surface(6, 1, layoutNamed("P8"));
    ASSERT_TRUE(source && dest);
    ASSERT_HR(DD_OK, dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(indices, readPixels(dest.get()));
    RECT middle = rect(2, 0, 4, 1);
    ASSERT_HR(DD_OK, colorFill(dest.get(), &middle, 0xABCDEF12));
    EXPECT_EQ((std::vector<DWORD>{0, 1, 0x12, 0x12, 0xFE, 0xFF}), readPixels(dest.get()));
}

}  // namespace
}  // namespace ddtest
