// Blt with DDBLT_COLORFILL: the value written per layout, row padding, rectangles, flags.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using ColorFillTest = DirectDrawTest;

struct FillCase {
    const char* layout;
    DWORD written12345678;
    DWORD writtenA1B2C3D4;
};

// The fill value is truncated to the pixel size and limited to the layout's channels.
const FillCase kFillCases[] = {
    {"X8R8G8B8", 0x00345678, 0x00B2C3D4}, {"A8R8G8B8", 0x12345678, 0xA1B2C3D4},
    {"R8G8B8", 0x345678, 0xB2C3D4},       {"R5G6B5", 0x5678, 0xC3D4},
    {"X1R5G5B5", 0x5678, 0x43D4},         {"A1R5G5B5", 0x5678, 0xC3D4},
    {"X4R4G4B4", 0x0678, 0x03D4},         {"A4R4G4B4", 0x5678, 0xC3D4},
    {"R3G3B2", 0x78, 0xD4},               {"P8", 0x78, 0xD4},
};

TEST_F(ColorFillTest, WholeSurfaceFillWritesTheMaskedValueAndKeepsThePadding) {
    for (const FillCase& fill : kFillCases) {
        const LayoutCase& layout = layoutNamed(fill.layout);
        for (DWORD flags : std::initializer_list<DWORD>{DDBLT_COLORFILL, DDBLT_COLORFILL | DDBLT_WAIT,
                            DDBLT_COLORFILL | DDBLT_DONOTWAIT,
                            DDBLT_COLORFILL | DDBLT_WAIT | DDBLT_DONOTWAIT}) {
            SCOPED_TRACE(std::string(fill.layout) + " flags " + std::to_string(flags));
            SurfacePtr target = surface(5, 3, layout);
            ASSERT_TRUE(target);
            fillBytes(target.get(), 0xEE);
            DDBLTFX fx{};
            fx.dwSize = sizeof(fx);
            fx.dwFillColor = 0x12345678;
            ASSERT_HR(DD_OK, target->Blt(nullptr, nullptr, nullptr, flags, &fx));
            EXPECT_EQ(std::vector<DWORD>(15, fill.written12345678), readPixels(target.get()));
            fx.dwFillColor = 0xA1B2C3D4;
            ASSERT_HR(DD_OK, target->Blt(nullptr, nullptr, nullptr, flags, &fx));
            EXPECT_EQ(std::vector<DWORD>(15, fill.writtenA1B2C3D4), readPixels(target.get()));

            const std::vector<std::uint8_t> bytes = readBytes(target.get());
            const std::size_t pitch = static_cast<std::size_t>(surfaceDesc(target.get()).lPitch);
            for (std::size_t row = 0; row < 3; ++row)
                for (std::size_t column = 5 * layout.bytesPerPixel; column < pitch; ++column)
                    EXPECT_EQ(0xEE, bytes[row * pitch + column]) << "padding row " << row;
        }
    }
}

TEST_F(ColorFillTest, WholeSurfaceFillWithZeroAlsoClearsThePadding) {
    for (const char* name : {"X8R8G8B8", "R5G6B5", "X1R5G5B5", "R8G8B8", "P8"}) {
        SCOPED_TRACE(name);
        SurfacePtr target = surface(5, 3, layoutNamed(name));
        ASSERT_TRUE(target);
        fillBytes(target.get(), 0xEE);
        ASSERT_HR(DD_OK, colorFill(target.get(), nullptr, 0));
        const std::vector<std::uint8_t> bytes = readBytes(target.get());
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.size(), 0), bytes);
    }
}

TEST_F(ColorFillTest, RectFillWritesExactlyTheRectangle) {
    const RECT areas[] = {rect(1, 1, 3, 2), rect(0, 0, 5, 3), rect(4, 2, 5, 3), rect(0, 1, 5, 2),
                          rect(2, 0, 3, 3)};
    for (const char* name : {"X8R8G8B8", "R8G8B8", "R5G6B5", "P8"}) {
        for (const RECT& area : areas) {
            SCOPED_TRACE(std::string(name) + " " + rectText(area));
            SurfacePtr target = surface(5, 3, layoutNamed(name));
            ASSERT_TRUE(target);
            fillBytes(target.get(), 0xEE);
            const DWORD background = readPixel(target.get(), 0, 0);
            RECT copy = area;
            ASSERT_HR(DD_OK, colorFill(target.get(), &copy, 1));
            const std::vector<DWORD> pixels = readPixels(target.get());
            for (LONG y = 0; y < 3; ++y) {
                for (LONG x = 0; x < 5; ++x) {
                    const bool inside =
                        x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                    EXPECT_EQ(inside ? 1u : background, pixels[static_cast<std::size_t>(y * 5 + x)])
                        << "at (" << x << "," << y << ")";
                }
            }
        }
    }
}

TEST_F(ColorFillTest, NeedsAnEffectsRecordButNotItsSize) {
    SurfacePtr target = surface(4, 4);
    ASSERT_TRUE(target);
    EXPECT_HR(DDERR_INVALIDPARAMS,
              target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, nullptr));
    for (DWORD size : std::initializer_list<DWORD>{0u, 96u, 104u}) {
        DDBLTFX fx{};
        fx.dwSize = size;
        fx.dwFillColor = 0x123456;
        EXPECT_HR(DD_OK, target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
        EXPECT_EQ(0x123456u, readPixel(target.get(), 3, 3));
    }
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    for (DWORD flags : std::initializer_list<DWORD>{0u, DDBLT_WAIT})  // neither a fill nor a source
        EXPECT_HR(DDERR_INVALIDPARAMS, target->Blt(nullptr, nullptr, nullptr, flags, &fx));
}

}  // namespace
}  // namespace ddtest
