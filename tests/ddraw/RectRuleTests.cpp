// Rectangle validation of Blt, colour fill and BltFast: a rectangle must be non-empty and lie
// inside its surface; anything else is DDERR_INVALIDRECT and draws nothing (no clipping).

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

class RectRuleTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        source_ = surface(8, 8, layoutNamed("X8R8G8B8"));
        dest_ = surface(8, 8, layoutNamed("X8R8G8B8"));
        ASSERT_TRUE(source_ && dest_);
        writePixels(source_.get(), numberedPixels(64));
    }

    // Number of destination pixels that are no longer 0.
    std::size_t changedPixels() {
        std::size_t changed = 0;
        for (DWORD pixel : readPixels(dest_.get())) changed += pixel != 0 ? 1 : 0;
        colorFill(dest_.get(), nullptr, 0);
        return changed;
    }

    SurfacePtr source_;
    SurfacePtr dest_;
};

struct BltRectCase {
    std::optional<RECT> dest;
    std::optional<RECT> source;
    HRESULT result;
    std::size_t changed;
};

std::string caseText(const std::optional<RECT>& dest, const std::optional<RECT>& source) {
    return "dest " + (dest ? rectText(*dest) : "NULL") + " source " +
           (source ? rectText(*source) : "NULL");
}

TEST_F(RectRuleTest, BltCopyRectangles) {
    const BltRectCase cases[] = {
        {rect(0, 0, 4, 4), rect(0, 0, 4, 4), DD_OK, 16},
        {std::nullopt, std::nullopt, DD_OK, 64},
        {std::nullopt, rect(0, 0, 4, 4), DD_OK, 64},
        {rect(2, 2, 6, 6), std::nullopt, DD_OK, 16},
        {rect(0, 0, 8, 8), rect(0, 0, 8, 8), DD_OK, 64},
        {rect(4, 0, 10, 4), rect(0, 0, 6, 4), DDERR_INVALIDRECT, 0},
        {rect(0, 4, 4, 10), rect(0, 0, 4, 6), DDERR_INVALIDRECT, 0},
        {rect(-2, 0, 4, 4), rect(0, 0, 6, 4), DDERR_INVALIDRECT, 0},
        {rect(0, -2, 4, 4), rect(0, 0, 4, 6), DDERR_INVALIDRECT, 0},
        {rect(10, 10, 14, 14), rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {rect(8, 0, 9, 1), rect(0, 0, 1, 1), DDERR_INVALIDRECT, 0},
        {rect(-4, -4, 0, 0), rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {rect(2, 2, 2, 5), rect(0, 0, 1, 3), DDERR_INVALIDRECT, 0},
        {rect(2, 2, 5, 2), rect(0, 0, 3, 1), DDERR_INVALIDRECT, 0},
        {rect(5, 2, 2, 5), rect(0, 0, 3, 3), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(6, 6, 10, 10), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(10, 10, 14, 14), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(-1, 0, 3, 4), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(0, -1, 4, 3), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(1, 1, 1, 3), DDERR_INVALIDRECT, 0},
        {rect(0, 0, 4, 4), rect(3, 1, 1, 3), DDERR_INVALIDRECT, 0},
    };
    for (const BltRectCase& c : cases) {
        for (DWORD flags : std::initializer_list<DWORD>{DDBLT_WAIT, DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT}) {
            SCOPED_TRACE(caseText(c.dest, c.source) + " flags " + std::to_string(flags));
            RECT dest = c.dest.value_or(RECT{});
            RECT source = c.source.value_or(RECT{});
            DDBLTFX fx{};
            fx.dwSize = sizeof(fx);
            fx.ddckSrcColorkey = DDCOLORKEY{0x00FFFFFF, 0x00FFFFFF};  // keys no numbered pixel
            EXPECT_HR(c.result, dest_->Blt(c.dest ? &dest : nullptr, source_.get(),
                                           c.source ? &source : nullptr, flags, &fx));
            EXPECT_EQ(c.changed, changedPixels());
        }
    }
}

TEST_F(RectRuleTest, ColorFillRectangles) {
    const BltRectCase cases[] = {
        {rect(7, 7, 8, 8), std::nullopt, DD_OK, 1},
        {rect(0, 0, 8, 8), std::nullopt, DD_OK, 64},
        {rect(4, 4, 9, 8), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(4, 4, 8, 9), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(-1, 0, 4, 4), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(0, -1, 4, 4), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(9, 9, 12, 12), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(2, 2, 2, 4), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(2, 2, 4, 2), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(4, 4, 2, 2), std::nullopt, DDERR_INVALIDRECT, 0},
        {rect(8, 8, 8, 8), std::nullopt, DDERR_INVALIDRECT, 0},
    };
    for (const BltRectCase& c : cases) {
        SCOPED_TRACE(caseText(c.dest, std::nullopt));
        RECT dest = *c.dest;
        EXPECT_HR(c.result, colorFill(dest_.get(), &dest, 0x00ABCDEF));
        EXPECT_EQ(c.changed, changedPixels());
    }
}

struct FastCase {
    DWORD x, y;
    std::optional<RECT> source;
    HRESULT result;
    std::size_t changed;
};

TEST_F(RectRuleTest, BltFastPositionsAndSourceRectangles) {
    SurfacePtr small = surface(4, 4, layoutNamed("X8R8G8B8"));
    ASSERT_TRUE(small);
    writePixels(small.get(), numberedPixels(16));
    const FastCase cases[] = {
        {0, 0, rect(0, 0, 4, 4), DD_OK, 16},
        {4, 4, rect(0, 0, 4, 4), DD_OK, 16},
        {4, 4, std::nullopt, DD_OK, 16},
        {7, 7, rect(0, 0, 1, 1), DD_OK, 1},
        {5, 5, rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {6, 0, rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {0, 6, rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {8, 8, rect(0, 0, 4, 4), DDERR_INVALIDRECT, 0},
        {8, 7, rect(0, 0, 1, 1), DDERR_INVALIDRECT, 0},
        {5, 5, std::nullopt, DDERR_INVALIDRECT, 0},
        {0xFFFFFFFFu, 0, rect(0, 0, 2, 2), DDERR_INVALIDRECT, 0},
        {0, 0xFFFFFFFFu, rect(0, 0, 2, 2), DDERR_INVALIDRECT, 0},
        {0x80000000u, 0, rect(0, 0, 2, 2), DDERR_INVALIDRECT, 0},
        {0, 0, rect(2, 2, 6, 6), DDERR_INVALIDRECT, 0},
        {0, 0, rect(0, 0, 5, 4), DDERR_INVALIDRECT, 0},
        {0, 0, rect(-1, 0, 3, 4), DDERR_INVALIDRECT, 0},
        {0, 0, rect(0, -1, 4, 3), DDERR_INVALIDRECT, 0},
        {0, 0, rect(1, 1, 1, 3), DDERR_INVALIDRECT, 0},
        {0, 0, rect(1, 3, 3, 1), DDERR_INVALIDRECT, 0},
        {0, 0, rect(4, 4, 4, 4), DDERR_INVALIDRECT, 0},
        {0, 0, rect(4, 0, 5, 1), DDERR_INVALIDRECT, 0},
    };
    for (const FastCase& c : cases) {
        SCOPED_TRACE("at (" + std::to_string(c.x) + "," + std::to_string(c.y) + ") source " +
                     (c.source ? rectText(*c.source) : "NULL"));
        RECT source = c.source.value_or(RECT{});
        EXPECT_HR(c.result, dest_->BltFast(c.x, c.y, small.get(), c.source ? &source : nullptr,
                                           DDBLTFAST_WAIT));
        EXPECT_EQ(c.changed, changedPixels());
    }
}

TEST_F(RectRuleTest, BltFastAcceptsEveryFlagCombination) {
    SurfacePtr small = surface(4, 4, layoutNamed("X8R8G8B8"));
    ASSERT_TRUE(small);
    writePixels(small.get(), numberedPixels(16));
    for (DWORD flags : std::initializer_list<DWORD>{0x00u, 0x10u, 0x20u, 0x30u, 0x01u, 0x11u, 0x21u, 0x02u, 0x03u, 0x40u, 0x100u}) {
        SCOPED_TRACE("flags " + std::to_string(flags));
        EXPECT_HR(DD_OK, dest_->BltFast(1, 1, small.get(), nullptr, flags));
        EXPECT_EQ(16u, changedPixels());
    }
}

}  // namespace
}  // namespace ddtest
