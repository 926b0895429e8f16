// Blt and BltFast copies: raw same-layout copies, the nearest-neighbour stretch rule on both
// axes, rectangles, overlapping self-copies and the conversions between layouts.

#include "ConformanceFixture.h"

#include <algorithm>
#include <random>

namespace ddtest {
namespace {

using BltCopyTest = DirectDrawTest;

// The stretch rule: step = (sourceSize << 16) / destSize, source = (d * step) >> 16.
std::vector<DWORD> ruleIndices(std::uint64_t sourceSize, std::uint64_t destSize) {
    const std::uint64_t step = (sourceSize << 16) / destSize;
    std::vector<DWORD> indices;
    for (std::uint64_t d = 0; d < destSize; ++d)
        indices.push_back(static_cast<DWORD>((d * step) >> 16));
    return indices;
}

// Source pixel i holds i + 1; returns the source index each destination pixel took.
std::vector<DWORD> stretchedIndices(DirectDrawTest& test, DWORD sourceSize, DWORD destSize,
                                    bool vertical, const LayoutCase& layout) {
    SurfacePtr source = vertical ? test.surface(1, sourceSize, layout)
                                 : test.surface(sourceSize, 1, layout);
    SurfacePtr dest = vertical ? test.surface(1, destSize, layout) : test.surface(destSize, 1, layout);
    if (!source || !dest) return {};
    writePixels(source.get(), numberedPixels(sourceSize));
    EXPECT_HR(DD_OK, dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr));
    std::vector<DWORD> indices = readPixels(dest.get());
    for (DWORD& value : indices) value -= 1;
    return indices;
}

TEST_F(BltCopyTest, SameLayoutCopyIsRawIncludingUnusedAndAlphaBits) {
    for (const LayoutCase& layout : allLayouts()) {
        SCOPED_TRACE(layout.name);
        const std::vector<DWORD> pixels = {0xFF000000u, 0x80FFFFFFu, 0x12345678u, 0x0000FFFFu};
        std::vector<DWORD> truncated;
        for (DWORD pixel : pixels)
            truncated.push_back(layout.bytesPerPixel == 4 ? pixel
                                                          : pixel & ((1u << (8 * layout.bytesPerPixel)) - 1));
        SurfacePtr source = rowSurface(truncated, layout);
        SurfacePtr dest = surface(4, 1, layout);
        ASSERT_TRUE(source && dest);
        ASSERT_HR(DD_OK, dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr));
        EXPECT_EQ(truncated, readPixels(dest.get()));
        SurfacePtr fastDest = surface(4, 1, layout);
        ASSERT_HR(DD_OK, fastDest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT));
        EXPECT_EQ(truncated, readPixels(fastDest.get()));
    }
}

TEST_F(BltCopyTest, StretchPicksTheObservedSourcePixels) {
    struct Row {
        DWORD source, dest;
        std::vector<DWORD> indices;
    };
    const Row rows[] = {
        {3, 7, {0, 0, 0, 1, 1, 2, 2}},
        {7, 3, {0, 2, 4}},
        {2, 5, {0, 0, 0, 1, 1}},
        {5, 2, {0, 2}},
        {4, 6, {0, 0, 1, 1, 2, 3}},
        {6, 4, {0, 1, 3, 4}},
        {9, 10, {0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {10, 9, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {10, 20, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9}},
        {20, 10, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18}},
        {2, 6, {0, 0, 0, 0, 1, 1}},
    };
    for (const Row& row : rows) {
        for (bool vertical : {false, true}) {
            SCOPED_TRACE(std::to_string(row.source) + "->" + std::to_string(row.dest) +
                         (vertical ? " vertical" : " horizontal"));
            EXPECT_EQ(row.indices, stretchedIndices(*this, row.source, row.dest, vertical,
                                                    layoutNamed("X8R8G8B8")));
        }
    }
    const std::vector<DWORD> start100to64 = {0, 1, 3, 4, 6, 7, 9, 10, 12, 14, 15, 17};
    const std::vector<DWORD> got = stretchedIndices(*this, 100, 64, false, layoutNamed("X8R8G8B8"));
    ASSERT_EQ(64u, got.size());
    EXPECT_EQ(start100to64, std::vector<DWORD>(got.begin(), got.begin() + 12));
}

TEST_F(BltCopyTest, StretchFollowsTheRuleForEveryLayoutAndRandomSizes) {
    for (const char* name : {"X8R8G8B8", "R8G8B8", "R5G6B5", "P8"}) {
        for (DWORD source = 1; source <= 12; ++source) {
            for (DWORD dest = 1; dest <= 12; ++dest) {
                SCOPED_TRACE(std::string(name) + " " + std::to_string(source) + "->" + std::to_string(dest));
                ASSERT_EQ(ruleIndices(source, dest),
                          stretchedIndices(*this, source, dest, source % 2 == 0, layoutNamed(name)));
            }
        }
    }
    std::mt19937 random(20261207);
    std::uniform_int_distribution<DWORD> size(1, 2000);
    for (int i = 0; i < 40; ++i) {
        const DWORD source = size(random);
        const DWORD dest = size(random);
        SCOPED_TRACE(std::to_string(source) + "->" + std::to_string(dest));
        ASSERT_EQ(ruleIndices(source, dest),
                  stretchedIndices(*this, source, dest, i % 2 == 1, layoutNamed("X8R8G8B8")));
    }
}

// Both axes at once, with offset rectangles: the rule applies inside the rectangles and
// nothing outside the destination rectangle changes.
TEST_F(BltCopyTest, TwoDimensionalStretchBetweenRectangles) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    SurfacePtr source = surface(16, 16, layout);
    SurfacePtr dest = surface(20, 20, layout);
    ASSERT_TRUE(source && dest);
    std::vector<DWORD> sourcePixels(256);
    for (DWORD y = 0; y < 16; ++y)
        for (DWORD x = 0; x < 16; ++x) sourcePixels[y * 16 + x] = (y << 8) | x | 0x10000;
    writePixels(source.get(), sourcePixels);
    RECT sourceRect = rect(3, 2, 14, 9);  // 11 x 7
    RECT destRect = rect(1, 4, 18, 7);    // 17 x 3
    ASSERT_HR(DD_OK, dest->Blt(&destRect, source.get(), &sourceRect, DDBLT_WAIT, nullptr));
    const std::vector<DWORD> columns = ruleIndices(11, 17);
    const std::vector<DWORD> rows = ruleIndices(7, 3);
    const std::vector<DWORD> got = readPixels(dest.get());
    for (LONG y = 0; y < 20; ++y) {
        for (LONG x = 0; x < 20; ++x) {
            const bool inside = x >= 1 && x < 18 && y >= 4 && y < 7;
            const DWORD expected =
                inside ? ((rows[y - 4] + 2) << 8) | (columns[x - 1] + 3) | 0x10000 : 0;
            ASSERT_EQ(expected, got[static_cast<std::size_t>(y * 20 + x)]) << "at (" << x << "," << y << ")";
        }
    }
}

TEST_F(BltCopyTest, NullRectanglesMeanWholeSurfaces) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    SurfacePtr source = surface(8, 8, layout);
    ASSERT_TRUE(source);
    writePixels(source.get(), numberedPixels(64));
    {
        SurfacePtr dest = surface(8, 8, layout);
        RECT quarter = rect(0, 0, 4, 4);
        ASSERT_HR(DD_OK, dest->Blt(nullptr, source.get(), &quarter, DDBLT_WAIT, nullptr));
        const std::vector<DWORD> got = readPixels(dest.get());
        // 4 -> 8 on both axes: each source pixel doubled.
        for (DWORD y = 0; y < 8; ++y)
            for (DWORD x = 0; x < 8; ++x) ASSERT_EQ((y / 2) * 8 + x / 2 + 1, got[y * 8 + x]);
    }
    {
        SurfacePtr dest = surface(8, 8, layout);
        RECT middle = rect(2, 2, 6, 6);
        ASSERT_HR(DD_OK, dest->Blt(&middle, source.get(), nullptr, DDBLT_WAIT, nullptr));
        const std::vector<DWORD> got = readPixels(dest.get());
        for (DWORD y = 0; y < 8; ++y) {
            for (DWORD x = 0; x < 8; ++x) {
                const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
                ASSERT_EQ(inside ? ((y - 2) * 2) * 8 + (x - 2) * 2 + 1 : 0u, got[y * 8 + x]);
            }
        }
    }
}

TEST_F(BltCopyTest, OverlappingSelfCopyBehavesLikeMemmove) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "BltFast" : "Blt");
        SurfacePtr row = surface(8, 1, layout);
        ASSERT_TRUE(row);
        writePixels(row.get(), numberedPixels(8));
        RECT sourceRect = rect(0, 0, 6, 1);
        RECT destRect = rect(2, 0, 8, 1);
        ASSERT_HR(DD_OK, fast ? row->BltFast(2, 0, row.get(), &sourceRect, DDBLTFAST_WAIT)
                              : row->Blt(&destRect, row.get(), &sourceRect, DDBLT_WAIT, nullptr));
        EXPECT_EQ((std::vector<DWORD>{1, 2, 1, 2, 3, 4, 5, 6}), readPixels(row.get()));
    }
    SurfacePtr column = surface(1, 8, layout);  // downwards overlap
    ASSERT_TRUE(column);
    writePixels(column.get(), numberedPixels(8));
    RECT sourceRect = rect(0, 0, 1, 6);
    ASSERT_HR(DD_OK, column->BltFast(0, 2, column.get(), &sourceRect, DDBLTFAST_WAIT));
    EXPECT_EQ((std::vector<DWORD>{1, 2, 1, 2, 3, 4, 5, 6}), readPixels(column.get()));
}

// 1:1 copies inside one surface in every direction of overlap, and a stretch between two
// separate areas of one surface: each reads the source as it was before the blit.
TEST_F(BltCopyTest, CopiesWithinOneSurfaceReadTheSourceAsItWas) {
    const LayoutCase& layout = layoutNamed("R5G6B5");
    constexpr LONG kSize = 8;
    struct Move {
        RECT source;
        LONG x, y;
    };
    const Move moves[] = {
        {rect(0, 0, 5, 5), 2, 1},  // down and right
        {rect(2, 3, 8, 7), 1, 0},  // up and left
        {rect(1, 2, 7, 8), 2, 0},  // up and right
        {rect(3, 0, 8, 6), 0, 2},  // down and left
        {rect(0, 1, 8, 4), 0, 2},  // straight down, whole rows
    };
    for (const Move& move : moves) {
        for (bool fast : {false, true}) {
            SCOPED_TRACE(rectText(move.source) + " to (" + std::to_string(move.x) + "," +
                         std::to_string(move.y) + ") " + (fast ? "BltFast" : "Blt"));
            SurfacePtr square = surface(kSize, kSize, layout);
            ASSERT_TRUE(square);
            const std::vector<DWORD> before = numberedPixels(kSize * kSize);
            writePixels(square.get(), before);
            RECT sourceRect = move.source;
            RECT destRect = rect(move.x, move.y, move.x + sourceRect.right - sourceRect.left,
                                 move.y + sourceRect.bottom - sourceRect.top);
            ASSERT_HR(DD_OK, fast ? square->BltFast(static_cast<DWORD>(move.x), static_cast<DWORD>(move.y),
                                                    square.get(), &sourceRect, DDBLTFAST_WAIT)
                                  : square->Blt(&destRect, square.get(), &sourceRect, DDBLT_WAIT, nullptr));
            std::vector<DWORD> expected = before;
            for (LONG y = destRect.top; y < destRect.bottom; ++y)
                for (LONG x = destRect.left; x < destRect.right; ++x)
                    expected[static_cast<std::size_t>(y * kSize + x)] = before[static_cast<std::size_t>(
                        (y - move.y + sourceRect.top) * kSize + x - move.x + sourceRect.left)];
            EXPECT_EQ(expected, readPixels(square.get()));
        }
    }
    SurfacePtr strip = surface(12, 4, layout);
    ASSERT_TRUE(strip);
    const std::vector<DWORD> before = numberedPixels(12 * 4);
    writePixels(strip.get(), before);
    RECT sourceRect = rect(0, 1, 3, 3);  // 3 x 2, stretched to 7 x 4
    RECT destRect = rect(4, 0, 11, 4);
    ASSERT_HR(DD_OK, strip->Blt(&destRect, strip.get(), &sourceRect, DDBLT_WAIT, nullptr));
    const std::vector<DWORD> columns = ruleIndices(3, 7);
    const std::vector<DWORD> rows = ruleIndices(2, 4);
    std::vector<DWORD> expected = before;
    for (DWORD y = 0; y < 4; ++y)
        for (DWORD x = 0; x < 7; ++x) expected[y * 12 + 4 + x] = before[(rows[y] + 1) * 12 + columns[x]];
    EXPECT_EQ(expected, readPixels(strip.get()));
}

TEST_F(BltCopyTest, Copy565To32ConvertsChannelsAndSetsTheUnusedByte) {
    SurfacePtr source = rowSurface({0xF800, 0xF801, 0xF803, 0xF807, 0x07E0, 0x001F, 0xFFFF, 0x0000},
                                   layoutNamed("R5G6B5"));
    ASSERT_TRUE(source);
    const std::vector<DWORD> expected = {0xFFFF0000, 0xFFFF0008, 0xFFFF0019, 0xFFFF003A,
                                         0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000};
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "BltFast" : "Blt");
        SurfacePtr dest = surface(8, 1, layoutNamed("X8R8G8B8"));
        ASSERT_TRUE(dest);
        ASSERT_HR(DD_OK, fast ? dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT)
                              : dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr));
        EXPECT_EQ(expected, readPixels(dest.get()));
    }
}

// Without a palette there is nothing to convert through: blits between a palettized and an RGB
// surface succeed and leave the destination as it was. (BltFast from RGB to palettized is left
// out: it never returns on Wine 8.)
TEST_F(BltCopyTest, BlitsBetweenPalettizedAndRgbWriteNothing) {
    SurfacePtr indexed = rowSurface({1, 0x80, 0xFF}, layoutNamed("P8"));
    SurfacePtr rgb = rowSurface({0x123456, 0x123456, 0x123456}, layoutNamed("X8R8G8B8"));
    ASSERT_TRUE(indexed && rgb);
    ASSERT_HR(DD_OK, rgb->Blt(nullptr, indexed.get(), nullptr, DDBLT_WAIT, nullptr));
    ASSERT_HR(DD_OK, rgb->BltFast(0, 0, indexed.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ((std::vector<DWORD>{0x123456, 0x123456, 0x123456}), readPixels(rgb.get()));
    ASSERT_HR(DD_OK, indexed->Blt(nullptr, rgb.get(), nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<DWORD>{1, 0x80, 0xFF}), readPixels(indexed.get()));
}

// Between RGB layouts only a few pairs convert; every other blit succeeds and writes nothing
// (Wine's DirectDraw behaves so), whether copied, stretched or keyed, by Blt or BltFast.
TEST_F(BltCopyTest, BlitsBetweenLayoutsWithoutAConversionWriteNothing) {
    const std::vector<std::string> layouts = {"X8R8G8B8", "A8R8G8B8", "R8G8B8", "R5G6B5", "X1R5G5B5",
                                              "A1R5G5B5", "X4R4G4B4", "A4R4G4B4", "R3G3B2"};
    const std::vector<std::pair<std::string, std::string>> converting = {
        {"R5G6B5", "X8R8G8B8"}, {"A8R8G8B8", "X8R8G8B8"}, {"X8R8G8B8", "A8R8G8B8"}};
    for (const std::string& from : layouts)
        for (const std::string& to : layouts) {
            if (from == to) continue;
            const bool converts = std::find(converting.begin(), converting.end(), std::make_pair(from, to)) != converting.end();
            for (int blit = 0; blit < 3; ++blit) {  // Blt 1:1, Blt stretched, BltFast keyed
                SCOPED_TRACE(from + " -> " + to + ", blit " + std::to_string(blit));
                SurfacePtr source = rowSurface({0x5A, 0xA5, 0x3C, 0xC3}, layoutNamed(from));
                const std::vector<DWORD> before(blit == 1 ? 8 : 4, 0x11);
                SurfacePtr dest = rowSurface(before, layoutNamed(to));
                ASSERT_TRUE(source && dest);
                EXPECT_HR(DD_OK, blit == 2 ? dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY)
                                           : dest->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr));
                EXPECT_EQ(converts, readPixels(dest.get()) != before);
            }
        }
}

}  // namespace
}  // namespace ddtest
