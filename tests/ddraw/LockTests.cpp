// Lock and Unlock: what a lock reports, rectangle checks, busy surfaces and blits involving a
// locked surface.

#include "ConformanceFixture.h"

#include <cstddef>

namespace ddtest {
namespace {

class LockTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        surface_ = surface(10, 6, layoutNamed("X8R8G8B8"));
        ASSERT_TRUE(surface_);
        DDSURFACEDESC2 desc = emptyDesc();
        ASSERT_HR(DD_OK, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        base_ = static_cast<std::uint8_t*>(desc.lpSurface);
        surface_->Unlock(nullptr);
    }

    static DDSURFACEDESC2 emptyDesc() {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        return desc;
    }

    SurfacePtr surface_;
    std::uint8_t* base_ = nullptr;
};

TEST_F(LockTest, WholeSurfaceLockDescribesTheSurface) {
    for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::None}) {
        SurfacePtr locked = surface(10, 6, layoutNamed("X8R8G8B8"), memory);
        ASSERT_TRUE(locked);
        DDSURFACEDESC2 desc = emptyDesc();
        desc.dwFlags = DDSD_LPSURFACE | DDSD_PITCH;
        ASSERT_HR(DD_OK, locked->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        EXPECT_EQ(0x0000100Fu, desc.dwFlags);
        EXPECT_EQ(10u, desc.dwWidth);
        EXPECT_EQ(6u, desc.dwHeight);
        EXPECT_EQ(40, desc.lPitch);
        EXPECT_EQ(0x00000840u, desc.ddsCaps.dwCaps);
        EXPECT_EQ(32u, desc.ddpfPixelFormat.dwRGBBitCount);
        EXPECT_EQ(0x00FF0000u, desc.ddpfPixelFormat.dwRBitMask);
        EXPECT_NE(nullptr, desc.lpSurface);
        EXPECT_HR(DD_OK, locked->Unlock(nullptr));
    }
}

TEST_F(LockTest, RectLockPointsAtTheRectanglesFirstPixel) {
    const RECT accepted[] = {rect(2, 1, 5, 4), rect(0, 0, 10, 6), rect(9, 5, 10, 6),
                             rect(3, 3, 3, 5), rect(3, 3, 5, 3), rect(10, 6, 10, 6)};
    for (const RECT& area : accepted) {
        SCOPED_TRACE(rectText(area));
        RECT copy = area;
        DDSURFACEDESC2 desc = emptyDesc();
        ASSERT_HR(DD_OK, surface_->Lock(&copy, &desc, DDLOCK_WAIT, nullptr));
        EXPECT_EQ(static_cast<std::ptrdiff_t>(area.top * 40 + area.left * 4),
                  static_cast<std::uint8_t*>(desc.lpSurface) - base_);
        EXPECT_EQ(40, desc.lPitch);
        EXPECT_EQ(10u, desc.dwWidth);  // the whole surface, not the rectangle
        EXPECT_EQ(6u, desc.dwHeight);
        EXPECT_HR(DD_OK, surface_->Unlock(&copy));
    }
}

TEST_F(LockTest, RectOutsideOrInvertedIsInvalidParamsAndLeavesTheSurfaceUnlocked) {
    const RECT refused[] = {rect(6, 4, 12, 8), rect(-1, 0, 3, 3), rect(0, -1, 3, 3),
                            rect(5, 3, 3, 5),  rect(3, 5, 5, 3),  rect(10, 0, 11, 1),
                            rect(0, 0, 11, 6), rect(0, 0, 10, 7)};
    for (const RECT& area : refused) {
        SCOPED_TRACE(rectText(area));
        RECT copy = area;
        DDSURFACEDESC2 desc = emptyDesc();
        desc.lpSurface = base_;
        EXPECT_HR(DDERR_INVALIDPARAMS, surface_->Lock(&copy, &desc, DDLOCK_WAIT, nullptr));
        EXPECT_EQ(nullptr, desc.lpSurface);
        EXPECT_HR(DDERR_NOTLOCKED, surface_->Unlock(nullptr));
    }
}

TEST_F(LockTest, DescriptionRecordIsChecked) {
    EXPECT_HR(DDERR_INVALIDPARAMS, surface_->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr));
    DDSURFACEDESC2 desc = emptyDesc();
    desc.dwSize = 0;
    EXPECT_HR(DDERR_INVALIDPARAMS, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    // The older DDSURFACEDESC (caps as a single DWORD) is accepted too.
    desc = emptyDesc();
    desc.dwSize = static_cast<DWORD>(offsetof(DDSURFACEDESC2, ddsCaps) + sizeof(DWORD));
    ASSERT_HR(DD_OK, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(base_, desc.lpSurface);
    EXPECT_EQ(40, desc.lPitch);
    EXPECT_HR(DD_OK, surface_->Unlock(nullptr));
}

TEST_F(LockTest, LockFlagsAreAccepted) {
    for (DWORD flags : std::initializer_list<DWORD>{0u, DDLOCK_WAIT, DDLOCK_DONOTWAIT, DDLOCK_READONLY}) {
        DDSURFACEDESC2 desc = emptyDesc();
        EXPECT_HR(DD_OK, surface_->Lock(nullptr, &desc, flags, nullptr));
        EXPECT_HR(DD_OK, surface_->Unlock(nullptr));
    }
}

TEST_F(LockTest, SecondLockIsBusyAndUnlockIgnoresItsRectangle) {
    RECT area = rect(1, 1, 3, 3);
    RECT other = rect(5, 2, 7, 4);
    DDSURFACEDESC2 desc = emptyDesc();
    ASSERT_HR(DD_OK, surface_->Lock(&area, &desc, DDLOCK_WAIT, nullptr));
    DDSURFACEDESC2 second = emptyDesc();
    EXPECT_HR(DDERR_SURFACEBUSY, surface_->Lock(nullptr, &second, DDLOCK_WAIT, nullptr));
    EXPECT_HR(DDERR_SURFACEBUSY, surface_->Lock(&other, &second, DDLOCK_DONOTWAIT, nullptr));
    EXPECT_HR(DD_OK, surface_->Unlock(&other));
    EXPECT_HR(DDERR_NOTLOCKED, surface_->Unlock(nullptr));
    ASSERT_HR(DD_OK, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_HR(DD_OK, surface_->Unlock(&area));
    ASSERT_HR(DD_OK, surface_->Lock(&area, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_HR(DD_OK, surface_->Unlock(nullptr));
}

TEST_F(LockTest, MemoryStaysInPlaceAndKeepsItsContents) {
    DDSURFACEDESC2 desc = emptyDesc();
    ASSERT_HR(DD_OK, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    static_cast<std::uint8_t*>(desc.lpSurface)[5] = 0x5A;
    surface_->Unlock(nullptr);
    DDSURFACEDESC2 again = emptyDesc();
    ASSERT_HR(DD_OK, surface_->Lock(nullptr, &again, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(desc.lpSurface, again.lpSurface);
    EXPECT_EQ(0x5A, static_cast<std::uint8_t*>(again.lpSurface)[5]);
    surface_->Unlock(nullptr);
}

TEST_F(LockTest, BlitsInvolvingALockedSurfaceAreBusyExceptColourFill) {
    SurfacePtr other = surface(10, 6, layoutNamed("X8R8G8B8"));
    ASSERT_TRUE(other);
    writePixels(other.get(), numberedPixels(60));
    DDSURFACEDESC2 desc = emptyDesc();
    ASSERT_HR(DD_OK, surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    for (DWORD flags : std::initializer_list<DWORD>{0x00u, DDBLTFAST_DONOTWAIT, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT,
                        DDBLTFAST_WAIT, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT}) {
        EXPECT_HR(DDERR_SURFACEBUSY, surface_->BltFast(0, 0, other.get(), nullptr, flags));
        EXPECT_HR(DDERR_SURFACEBUSY, other->BltFast(0, 0, surface_.get(), nullptr, flags));
    }
    EXPECT_HR(DDERR_SURFACEBUSY, surface_->Blt(nullptr, other.get(), nullptr, DDBLT_WAIT, nullptr));
    EXPECT_HR(DDERR_SURFACEBUSY, other->Blt(nullptr, surface_.get(), nullptr, DDBLT_WAIT, nullptr));
    for (DWORD flags : std::initializer_list<DWORD>{DDBLT_COLORFILL, DDBLT_COLORFILL | DDBLT_WAIT, DDBLT_COLORFILL | DDBLT_DONOTWAIT}) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        EXPECT_HR(DD_OK, surface_->Blt(nullptr, nullptr, nullptr, flags, &fx));
    }
    DDCOLORKEY key{};
    EXPECT_HR(DDERR_NOCOLORKEY, surface_->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_HR(DD_OK, surface_->IsLost());
    EXPECT_HR(DD_OK, surface_->Unlock(nullptr));
    EXPECT_HR(DD_OK, surface_->BltFast(0, 0, other.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(numberedPixels(60), readPixels(surface_.get()));
}

}  // namespace
}  // namespace ddtest
