#pragma once
// Shared set-up of the DirectDraw conformance tests: a DirectDraw with a 32-bit X8R8G8B8
// display, the surface layouts under test, and small surface helpers.

#include "SurfacePixels.h"
#include "TestDirectDraw.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace ddtest {

struct LayoutCase {
    const char* name;
    DDPIXELFORMAT format;
    DWORD bytesPerPixel;
};

inline DDPIXELFORMAT palettizedWithoutRgbFormat() {
    DDPIXELFORMAT format = softddraw::palettized8Format();
    format.dwFlags = DDPF_PALETTEINDEXED8;
    return format;
}

// Every layout an off-screen surface is created in by the module or by the tests.
inline std::vector<LayoutCase> allLayouts() {
    using namespace softddraw;
    return {
        {"X8R8G8B8", xrgb32Format(), 4},
        {"A8R8G8B8", argb32Format(), 4},
        {"R8G8B8", rgb24Format(), 3},
        {"B8G8R8", rgbPixelFormat(24, 0x0000FF, 0x00FF00, 0xFF0000), 3},
        {"R5G6B5", rgb565Format(), 2},
        {"X1R5G5B5", rgb555Format(), 2},
        {"A1R5G5B5", rgbPixelFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000), 2},
        {"X4R4G4B4", rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F), 2},
        {"A4R4G4B4", rgbPixelFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000), 2},
        {"R3G3B2", rgbPixelFormat(8, 0xE0, 0x1C, 0x03), 1},
        {"P8", palettized8Format(), 1},
    };
}

inline const LayoutCase& layoutNamed(const std::string& name) {
    static const std::vector<LayoutCase> layouts = allLayouts();
    for (const LayoutCase& layout : layouts)
        if (name == layout.name) return layout;
    ADD_FAILURE() << "unknown layout " << name;
    return layouts.front();
}

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        directDraw_.reset(createTestDirectDraw(TestDisplayFormat::Xrgb32));
        ASSERT_NE(nullptr, directDraw_);
    }

public:
    // Public so that a test's helper functions can take the fixture.

    IDirectDraw7* directDraw() const { return directDraw_.get(); }

    SurfacePtr surface(DWORD width, DWORD height,
                       const std::optional<DDPIXELFORMAT>& format = std::nullopt,
                       MemoryCaps memory = MemoryCaps::System) {
        return SurfacePtr(createTestSurface(directDraw(), width, height, format, memory));
    }

    SurfacePtr surface(DWORD width, DWORD height, const LayoutCase& layout,
                       MemoryCaps memory = MemoryCaps::System) {
        return surface(width, height, layout.format, memory);
    }

    // A surface holding the given pixels, one row.
    SurfacePtr rowSurface(const std::vector<DWORD>& pixels, const LayoutCase& layout) {
        SurfacePtr created = surface(static_cast<DWORD>(pixels.size()), 1, layout);
        if (created) writePixels(created.get(), pixels);
        return created;
    }

private:
    TestDirectDrawPtr directDraw_;
};

inline RECT rect(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{left, top, right, bottom};
}

inline std::string rectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// Pixel values 1, 2, 3, ... so that each pixel tells where it came from.
inline std::vector<DWORD> numberedPixels(std::size_t count) {
    std::vector<DWORD> pixels(count);
    for (std::size_t i = 0; i < count; ++i) pixels[i] = static_cast<DWORD>(i + 1);
    return pixels;
}

}  // namespace ddtest

// Readable HRESULT comparisons: both values are printed with their names.
#define EXPECT_HR(expected, actual) \
    EXPECT_EQ(::ddtest::resultName(expected), ::ddtest::resultName(actual))
#define ASSERT_HR(expected, actual) \
    ASSERT_EQ(::ddtest::resultName(expected), ::ddtest::resultName(actual))
