// The pixel history the inspector's page and --pixel-history both read: every event whose
// pixels cover the point, in order, with the value before and after; composition-surface writes
// apart from the target's.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "report/FrameHistory.h"

namespace {

using dd7rreplay::InspectEvent;
using dd7rreplay::InspectFrame;
using dd7rreplay::Patch;

// A 4x2 frame in 565, base 0x0001 everywhere; three events writing 0x1000 + event number:
// 0 at (1,0)-(3,2) on the target, 1 nothing, 2 at (2,0)-(4,1) on the composition surface,
// 3 at (0,0)-(2,1) on the target.
InspectFrame sample() {
    InspectFrame frame;
    frame.width = 4;
    frame.height = 2;
    frame.layout = {2, 0xF800, 0x07E0, 0x001F};
    frame.compositionLayout = frame.layout;
    frame.base.assign(4 * 2 * 2, 0);
    for (std::size_t i = 0; i < frame.base.size(); i += 2) frame.base[i] = 1;
    const int rects[4][4] = {{1, 0, 3, 2}, {0, 0, 0, 0}, {2, 0, 4, 1}, {0, 0, 2, 1}};
    for (int e = 0; e < 4; ++e) {
        InspectEvent event;
        event.hasPatch = e != 1;
        event.patch = Patch{rects[e][0], rects[e][1], rects[e][2], rects[e][3], frame.pixels.size(), e == 2};
        const int pixels = (rects[e][2] - rects[e][0]) * (rects[e][3] - rects[e][1]);
        for (int p = 0; p < pixels; ++p) frame.pixels.insert(frame.pixels.end(), {static_cast<std::uint8_t>(e), 0x10});
        frame.events.push_back(event);
    }
    return frame;
}

TEST(PixelHistory, EveryEventCoveringThePointInOrder) {
    struct Case {
        unsigned x, y;
        std::vector<std::size_t> events;
        std::vector<std::uint32_t> before;
    };
    const std::vector<Case> cases = {
        {0, 1, {}, {}},
        {1, 0, {0, 3}, {0x0001, 0x1000}},
        {2, 0, {0, 2}, {0x0001, 0}},  // the composition surface's first write: before unknown
        {3, 1, {}, {}},
    };
    const InspectFrame frame = sample();
    for (const Case& test : cases) {
        dd7rreplay::PixelHistory history;
        ASSERT_TRUE(dd7rreplay::pixelHistory(frame, test.x, test.y, history));
        EXPECT_EQ(0x0001u, history.start);
        ASSERT_EQ(test.events.size(), history.steps.size()) << test.x << "," << test.y;
        for (std::size_t i = 0; i < test.events.size(); ++i) {
            EXPECT_EQ(test.events[i], history.steps[i].event);
            EXPECT_EQ(0x1000u + test.events[i], history.steps[i].after);
            EXPECT_EQ(test.before[i], history.steps[i].before);
            EXPECT_EQ(test.events[i] != 2, history.steps[i].beforeKnown);
        }
    }
    dd7rreplay::PixelHistory outside;
    EXPECT_FALSE(dd7rreplay::pixelHistory(frame, 4, 0, outside));
    EXPECT_NE(std::string::npos, dd7rreplay::pixelHistoryText(frame, 1, 0).find(
                                     "event 3: 0x1000 (16, 0, 0) -> 0x1003 (16, 0, 24)"));
}

}  // namespace
