// Raw pixels into every drawable layout, on plain memory described like a locked surface.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "texture/PixelUpload.h"

using namespace ZelUISystem;

namespace {

// A locked-surface description over a vector, with one guard row after the pixels.
struct MemorySurface {
    MemorySurface(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD width, DWORD height)
        : bytesPerPixel(bits / 8), pitch(width * (bits / 8) + 4), memory(pitch * (height + 1), 0xEE) {
        desc.dwSize = sizeof(desc);
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.lPitch = static_cast<LONG>(pitch);
        desc.lpSurface = memory.data();
        desc.ddpfPixelFormat.dwRGBBitCount = bits;
        desc.ddpfPixelFormat.dwRBitMask = red;
        desc.ddpfPixelFormat.dwGBitMask = green;
        desc.ddpfPixelFormat.dwBBitMask = blue;
    }
    std::uint32_t pixel(DWORD x, DWORD y) const {
        std::uint32_t value = 0;
        std::memcpy(&value, memory.data() + y * pitch + x * bytesPerPixel, bytesPerPixel);
        return value;
    }
    DWORD bytesPerPixel;
    DWORD pitch;
    std::vector<std::uint8_t> memory;
    DDSURFACEDESC2 desc{};
};

MemorySurface surface565(DWORD w = 1, DWORD h = 1) { return {16, 0xF800, 0x07E0, 0x001F, w, h}; }
MemorySurface surface555(DWORD w = 1, DWORD h = 1) { return {16, 0x7C00, 0x03E0, 0x001F, w, h}; }
MemorySurface surface444(DWORD w = 1, DWORD h = 1) { return {16, 0x0F00, 0x00F0, 0x000F, w, h}; }
MemorySurface surface24(DWORD w = 1, DWORD h = 1) { return {24, 0xFF0000, 0xFF00, 0xFF, w, h}; }
MemorySurface surface32(DWORD w = 1, DWORD h = 1) { return {32, 0xFF0000, 0xFF00, 0xFF, w, h}; }

using Fill = void (*)(const DDSURFACEDESC2&, RGBMode, const UploadRect&);

std::uint32_t convertOne(Fill fill, MemorySurface&& surface, RGBMode mode, std::vector<std::uint8_t> pixel) {
    fill(surface.desc, mode, UploadRect{pixel.data(), 0, 0, 1, 1, static_cast<std::uint32_t>(pixel.size())});
    return surface.pixel(0, 0);
}

TEST(FitChannelToMask, PlacesTheTopBitsOfTheValueIntoTheMask) {
    struct Case {
        std::uint32_t mask, value, expected;
        int position;
    };
    for (const Case& c : {Case{0x7C00, 0xFF, 0x7C00, 10}, Case{0x000F, 0xFF, 0x000F, 0},
                          Case{0x0F00, 0x80, 0x0800, 8}, Case{0xF800, 0x08, 0x0800, 11},
                          Case{0x0000, 0xFF, 0x0000, -1}, Case{0x0FFF0, 0xAB, 0xAB0, 4},
                          Case{0x80000000u, 0xFF, 0x80000000u, 31}}) {
        std::uint32_t value = c.value;
        EXPECT_EQ(FitChannelToMask(c.mask, value), c.position) << std::hex << c.mask;
        EXPECT_EQ(value, c.expected) << std::hex << c.mask;
    }
}

TEST(FillFromRGB, PacksEachLayoutAndLeavesBlackTransparent) {
    EXPECT_EQ(convertOne(FillFromRGB, surface565(), DDS_RGBMODE_565, {0xFF, 0x80, 0x08}), 0xFC01u);
    EXPECT_EQ(convertOne(FillFromRGB, surface555(), DDS_RGBMODE_555, {0xFF, 0x80, 0x08}), 0x7E01u);
    EXPECT_EQ(convertOne(FillFromRGB, surface444(), DDS_RGBMODE_16, {0xFF, 0x80, 0x10}), 0x0F81u);
    EXPECT_EQ(convertOne(FillFromRGB, surface24(), DDS_RGBMODE_24, {1, 2, 3}), 0x010203u);
    EXPECT_EQ(convertOne(FillFromRGB, surface32(), DDS_RGBMODE_32, {1, 2, 3}), 0xFF010203u);
    EXPECT_EQ(convertOne(FillFromRGB, surface565(), DDS_RGBMODE_565, {0, 0, 0}), 0u);
    EXPECT_EQ(convertOne(FillFromRGB, surface32(), DDS_RGBMODE_32, {0, 0, 0}), 0xFF000000u);
}

TEST(FillFromRGBA, PremultipliesAndMakesZeroAlphaTransparent) {
    EXPECT_EQ(convertOne(FillFromRGBA, surface565(), DDS_RGBMODE_565, {255, 255, 255, 128}), 0x8410u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface565(), DDS_RGBMODE_565, {0, 0, 0, 255}), 0u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface565(), DDS_RGBMODE_565, {200, 100, 50, 0}), 0u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface555(), DDS_RGBMODE_555, {255, 0, 0, 255}), 0x7C00u);
    // Every premultiplied channel below 8 in 555: written as 0, transparent.
    EXPECT_EQ(convertOne(FillFromRGBA, surface555(), DDS_RGBMODE_555, {255, 255, 255, 6}), 0u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface24(), DDS_RGBMODE_24, {200, 100, 50, 0}), 0u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface24(), DDS_RGBMODE_24, {200, 100, 50, 64}), 0x32190Cu);
    EXPECT_EQ(convertOne(FillFromRGBA, surface32(), DDS_RGBMODE_32, {200, 100, 50, 64}), 0x4032190Cu);
    EXPECT_EQ(convertOne(FillFromRGBA, surface32(), DDS_RGBMODE_32, {200, 100, 50, 255}), 0xFFC86432u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface32(), DDS_RGBMODE_32, {200, 100, 50, 0}), 0u);
}

TEST(FillFromRGBA, OtherMasksMultiplyByAlphaWithoutShortcuts) {
    // A = 255 still multiplies by 255: a channel of 8 becomes 7 before fitting (4-bit: 0).
    // Mask 0x0FF0 keeps all 8 bits, so the multiplied value shows.
    MemorySurface wide{16, 0x0FF0, 0xF000, 0x000F, 1, 1};
    EXPECT_EQ(convertOne(FillFromRGBA, std::move(wide), DDS_RGBMODE_16, {8, 0, 0, 255}), 0x0070u);
    EXPECT_EQ(convertOne(FillFromRGBA, surface444(), DDS_RGBMODE_16, {255, 255, 255, 0}), 0u);
}

TEST(FillFromBGRA, NeverProducesTheTransparentValue) {
    EXPECT_EQ(convertOne(FillFromBGRA, surface565(), DDS_RGBMODE_565, {0, 0, 0, 255}), 0x0001u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface555(), DDS_RGBMODE_555, {7, 7, 7, 0}), 0x0001u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface444(), DDS_RGBMODE_16, {15, 15, 15, 0}), 0x0001u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface565(), DDS_RGBMODE_565, {0x08, 0x80, 0xFF, 0}), 0xFC01u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface24(), DDS_RGBMODE_24, {7, 7, 7, 0}), 0x080808u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface24(), DDS_RGBMODE_24, {8, 0, 0, 0}), 0x000008u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface32(), DDS_RGBMODE_32, {0, 0, 0, 0}), 0xFF080808u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface32(), DDS_RGBMODE_32, {0, 0, 0, 0xFF}), 0xFF000000u);
    EXPECT_EQ(convertOne(FillFromBGRA, surface32(), DDS_RGBMODE_32, {1, 2, 3, 4}), 0x04030201u);
}

TEST(PixelUpload, WritesExactlyTheRectangleRowByRowWithBothPitches) {
    MemorySurface surface = surface24(5, 4);
    const std::vector<std::uint8_t> before = surface.memory;
    // Two rows of two pixels, source pitch padded to 8 bytes.
    const std::uint8_t source[] = {1, 2, 3, 4, 5, 6, 0xAA, 0xAA, 7, 8, 9, 10, 11, 12};
    FillFromRGB(surface.desc, DDS_RGBMODE_24, UploadRect{source, 2, 1, 2, 2, 8});
    EXPECT_EQ(surface.pixel(2, 1), 0x010203u);
    EXPECT_EQ(surface.pixel(3, 1), 0x040506u);
    EXPECT_EQ(surface.pixel(2, 2), 0x070809u);
    EXPECT_EQ(surface.pixel(3, 2), 0x0A0B0Cu);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != surface.memory[i];
    EXPECT_EQ(changed, 12u);
}

// Pixels are written with the layout's size: a layout that does not describe the locked
// surface (32-bit pixels on a 16-bit surface would run past every row) writes nothing.
TEST(PixelUpload, WritesNothingWhenTheLayoutDoesNotDescribeTheLockedSurface) {
    const std::uint8_t source[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    for (auto [bits, mode] : {std::pair<DWORD, RGBMode>{16, DDS_RGBMODE_32}, {16, DDS_RGBMODE_24},
                              {32, DDS_RGBMODE_565}, {24, DDS_RGBMODE_16}, {8, DDS_RGBMODE_555}}) {
        for (Fill fill : {FillFromRGB, FillFromRGBA, FillFromBGRA}) {
            MemorySurface surface{bits, 0xF800, 0x07E0, 0x001F, 3, 1};
            const std::vector<std::uint8_t> before = surface.memory;
            fill(surface.desc, mode, UploadRect{source, 0, 0, 3, 1, 16});
            EXPECT_EQ(surface.memory, before) << bits << " bits, mode " << mode;
        }
    }
}

}  // namespace
