// CreateSurface: accepted and refused layouts, memory caps, sizes, creation colour keys, and
// what GetSurfaceDesc reports (flags, caps, pixel format, pitch).

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using CreateSurfaceTest = DirectDrawTest;

HRESULT tryCreate(IDirectDraw7* directDraw, SurfaceRequest request) {
    IDirectDrawSurface7* created = nullptr;
    const HRESULT result = createSurface(directDraw, request, &created);
    if (created != nullptr) created->Release();
    return result;
}

TEST_F(CreateSurfaceTest, AcceptsEveryDrawableLayoutInSystemAndUnspecifiedMemory) {
    std::vector<LayoutCase> layouts = allLayouts();
    layouts.push_back({"P8 without RGB", palettizedWithoutRgbFormat(), 1});
    for (const LayoutCase& layout : layouts) {
        for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::None}) {
            SCOPED_TRACE(std::string(layout.name) + (memory == MemoryCaps::System ? " SYS" : " NONE"));
            SurfacePtr created = surface(8, 4, layout, memory);
            ASSERT_TRUE(created);
            const DDSURFACEDESC2 desc = surfaceDesc(created.get());
            EXPECT_EQ(0x0000100Fu, desc.dwFlags);
            EXPECT_EQ(0x00000840u, desc.ddsCaps.dwCaps);
            EXPECT_EQ(8u, desc.dwWidth);
            EXPECT_EQ(4u, desc.dwHeight);
            EXPECT_EQ(nullptr, desc.lpSurface);
            EXPECT_EQ(32u, desc.ddpfPixelFormat.dwSize);
            EXPECT_EQ(layout.format.dwFlags, desc.ddpfPixelFormat.dwFlags);
            EXPECT_EQ(layout.bytesPerPixel * 8, desc.ddpfPixelFormat.dwRGBBitCount);
            EXPECT_EQ(layout.format.dwRBitMask, desc.ddpfPixelFormat.dwRBitMask);
            EXPECT_EQ(layout.format.dwGBitMask, desc.ddpfPixelFormat.dwGBitMask);
            EXPECT_EQ(layout.format.dwBBitMask, desc.ddpfPixelFormat.dwBBitMask);
            EXPECT_EQ(layout.format.dwRGBAlphaBitMask, desc.ddpfPixelFormat.dwRGBAlphaBitMask);
        }
    }
}

TEST_F(CreateSurfaceTest, RefusesLayoutsWithSwappedOrOddMasksWhateverTheMemory) {
    const DDPIXELFORMAT refused[] = {
        softddraw::rgbPixelFormat(16, 0x001F, 0x07E0, 0xF800),        // BGR 565
        softddraw::rgbPixelFormat(16, 0x00F0, 0x0F00, 0xF00F),        // odd masks
        softddraw::rgbPixelFormat(32, 0x0000FF, 0x00FF00, 0xFF0000),  // X8B8G8R8
    };
    for (const DDPIXELFORMAT& format : refused) {
        for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::Video, MemoryCaps::None}) {
            SCOPED_TRACE(describe(format));
            SurfaceRequest request;
            request.width = 8;
            request.height = 4;
            request.format = format;
            request.memory = memory;
            EXPECT_HR(DDERR_INVALIDPIXELFORMAT, tryCreate(directDraw(), request));
        }
    }
}

TEST_F(CreateSurfaceTest, VideoMemoryIsAbsentAndChecksComeInOrder) {
    SurfaceRequest request;
    request.width = 8;
    request.height = 4;
    request.memory = MemoryCaps::Video;
    EXPECT_HR(DDERR_NODIRECTDRAWHW, tryCreate(directDraw(), request));
    request.format = softddraw::rgb565Format();
    EXPECT_HR(DDERR_NODIRECTDRAWHW, tryCreate(directDraw(), request));
    request.width = 32768;  // a byte size that wraps to 0 does not matter without video memory
    request.height = 32768;
    request.format.reset();
    EXPECT_HR(DDERR_NODIRECTDRAWHW, tryCreate(directDraw(), request));
    request.width = 0;  // size 0 is checked first
    EXPECT_HR(DDERR_INVALIDPARAMS, tryCreate(directDraw(), request));
}

TEST_F(CreateSurfaceTest, RefusesBothMemoryCapsAndMissingSizes) {
    DDSURFACEDESC2 desc = surfaceDescFor(SurfaceRequest{8, 4, std::nullopt, MemoryCaps::System, std::nullopt});
    desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface7* created = nullptr;
    EXPECT_HR(DDERR_INVALIDCAPS, directDraw()->CreateSurface(&desc, &created, nullptr));
    EXPECT_EQ(nullptr, created);

    for (DWORD missing : std::initializer_list<DWORD>{DDSD_WIDTH, DDSD_HEIGHT}) {
        desc = surfaceDescFor(SurfaceRequest{8, 4, std::nullopt, MemoryCaps::System, std::nullopt});
        desc.dwFlags &= ~missing;
        EXPECT_HR(DDERR_INVALIDPARAMS, directDraw()->CreateSurface(&desc, &created, nullptr));
    }
}

struct SizeCase {
    DWORD width;
    DWORD height;
    HRESULT create;
    HRESULT lock;  // DD_OK or DDERR_OUTOFMEMORY; unused when creation fails
};

// Creation depends on pitch x height modulo 2^32 (0 is refused); memory is committed at the
// first Lock, which fails when it cannot be had.
TEST_F(CreateSurfaceTest, SizesFollowTheWrappedByteSize) {
    const SizeCase cases[] = {
        {0, 0, DDERR_INVALIDPARAMS, DD_OK},
        {0, 10, DDERR_INVALIDPARAMS, DD_OK},
        {10, 0, DDERR_INVALIDPARAMS, DD_OK},
        {1, 1, DD_OK, DD_OK},
        {8192, 8192, DD_OK, DD_OK},
        {65536, 1, DD_OK, DD_OK},
        {100000, 1, DD_OK, DD_OK},
        {1, 65536, DD_OK, DD_OK},
        {16384, 16384, DD_OK, DDERR_OUTOFMEMORY},
        {16384, 16385, DD_OK, DDERR_OUTOFMEMORY},
        {20000, 20000, DD_OK, DDERR_OUTOFMEMORY},
        {23171, 23171, DD_OK, DDERR_OUTOFMEMORY},
        {30000, 30000, DD_OK, DDERR_OUTOFMEMORY},
        {100000, 100000, DD_OK, DDERR_OUTOFMEMORY},
        {32768, 32768, DDERR_INVALIDPARAMS, DD_OK},
        {65536, 65536, DDERR_INVALIDPARAMS, DD_OK},
        {65536, 16384, DDERR_INVALIDPARAMS, DD_OK},
        {0x80000000u, 1, DDERR_INVALIDPARAMS, DD_OK},
        {0xFFFFFFFFu, 0xFFFFFFFFu, DDERR_INVALIDPARAMS, DD_OK},
    };
    for (const SizeCase& size : cases) {
        for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::None}) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
            SurfaceRequest request;
            request.width = size.width;
            request.height = size.height;
            request.memory = memory;
            IDirectDrawSurface7* created = nullptr;
            ASSERT_HR(size.create, createSurface(directDraw(), request, &created));
            if (created == nullptr) continue;
            DDSURFACEDESC2 desc{};
            desc.dwSize = sizeof(desc);
            const HRESULT locked = created->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
            EXPECT_HR(size.lock, locked);
            if (locked == DD_OK) created->Unlock(nullptr);
            EXPECT_EQ(0u, created->Release());
        }
    }
}

// 65536 x 16385 wraps to a small byte size: creation succeeds as on the real DirectDraw.
// (Whether it then locks differs: the real one commits the wrapped size.)
TEST_F(CreateSurfaceTest, WrappedButNonZeroByteSizeIsCreated) {
    SurfaceRequest request;
    request.width = 65536;
    request.height = 16385;
    EXPECT_HR(DD_OK, tryCreate(directDraw(), request));
    request.format = softddraw::rgb565Format();
    request.width = 16384;
    request.height = 16384;
    EXPECT_HR(DD_OK, tryCreate(directDraw(), request));
}

TEST_F(CreateSurfaceTest, PitchIsRowBytesRoundedUpToEight) {
    const DWORD widths[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 17, 33, 100, 257};
    struct Row {
        const char* layout;
        LONG pitches[14];
    };
    const Row rows[] = {
        {"P8", {8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 24, 40, 104, 264}},
        {"R5G6B5", {8, 8, 8, 8, 16, 16, 16, 16, 24, 32, 40, 72, 200, 520}},
        {"R8G8B8", {8, 8, 16, 16, 16, 24, 24, 24, 32, 40, 56, 104, 304, 776}},
        {"X8R8G8B8", {8, 8, 16, 16, 24, 24, 32, 32, 40, 56, 72, 136, 400, 1032}},
    };
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < std::size(widths); ++i) {
            SCOPED_TRACE(std::string(row.layout) + " width " + std::to_string(widths[i]));
            SurfacePtr created = surface(widths[i], 2, layoutNamed(row.layout));
            ASSERT_TRUE(created);
            EXPECT_EQ(row.pitches[i], surfaceDesc(created.get()).lPitch);
            DDSURFACEDESC2 locked{};
            locked.dwSize = sizeof(locked);
            ASSERT_HR(DD_OK, created->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr));
            EXPECT_EQ(row.pitches[i], locked.lPitch);
            created->Unlock(nullptr);
        }
    }
}

TEST_F(CreateSurfaceTest, WithoutAPixelFormatTheSurfaceTakesTheDisplayFormat) {
    SurfacePtr created = surface(8, 4);
    ASSERT_TRUE(created);
    const DDPIXELFORMAT format = surfaceDesc(created.get()).ddpfPixelFormat;
    EXPECT_EQ(DDPF_RGB, format.dwFlags);
    EXPECT_EQ(32u, format.dwRGBBitCount);
    EXPECT_EQ(0x00FF0000u, format.dwRBitMask);
    EXPECT_EQ(0x0000FF00u, format.dwGBitMask);
    EXPECT_EQ(0x000000FFu, format.dwBBitMask);
    EXPECT_EQ(0u, format.dwRGBAlphaBitMask);
}

TEST_F(CreateSurfaceTest, CreationColourKeyIsStoredUnmaskedAndMustBeASingleValue) {
    for (const LayoutCase& layout : allLayouts()) {
        for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::None}) {
            SCOPED_TRACE(layout.name);
            for (DWORD value : std::initializer_list<DWORD>{0x00000000u, 0x12345678u}) {
                SurfaceRequest request{8, 4, layout.format, memory, DDCOLORKEY{value, value}};
                IDirectDrawSurface7* created = nullptr;
                ASSERT_HR(DD_OK, createSurface(directDraw(), request, &created));
                SurfacePtr owned(created);
                const DDSURFACEDESC2 desc = surfaceDesc(created);
                EXPECT_EQ(0x0001100Fu, desc.dwFlags);
                EXPECT_EQ(value, desc.ddckCKSrcBlt.dwColorSpaceLowValue);
                EXPECT_EQ(value, desc.ddckCKSrcBlt.dwColorSpaceHighValue);
                DDCOLORKEY key{0xDEADBEEF, 0xDEADBEEF};
                EXPECT_HR(DD_OK, created->GetColorKey(DDCKEY_SRCBLT, &key));
                EXPECT_EQ(value, key.dwColorSpaceLowValue);
                EXPECT_EQ(value, key.dwColorSpaceHighValue);
            }
            for (DDCOLORKEY range : {DDCOLORKEY{5, 9}, DDCOLORKEY{9, 5}}) {
                SurfaceRequest request{8, 4, layout.format, memory, range};
                EXPECT_HR(DDERR_NOCOLORKEYHW, tryCreate(directDraw(), request));
            }
        }
    }
}

TEST_F(CreateSurfaceTest, GetSurfaceDescChecksItsRecord) {
    SurfacePtr created = surface(8, 4);
    ASSERT_TRUE(created);
    EXPECT_HR(DDERR_INVALIDPARAMS, created->GetSurfaceDesc(nullptr));
    DDSURFACEDESC2 desc{};
    desc.dwSize = 0;
    EXPECT_HR(DDERR_INVALIDPARAMS, created->GetSurfaceDesc(&desc));
}

}  // namespace
}  // namespace ddtest
