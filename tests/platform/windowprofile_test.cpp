#include "platform/windowprofile.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

TEST(WindowPlacement, ComesBackExactlyThroughAnyFrameAtEveryStart)
{
    // No frame; a thin border with a title bar and a grip; a title bar only.
    for (const FrameMargins& frame : {FrameMargins{}, FrameMargins{1, 20, 1, 5}, FrameMargins{0, 37, 0, 0}}) {
        WindowPlacement saved{100, 80, 1000, 700};
        for (int start = 0; start < 6; ++start) {
            const WindowPlacement inner = innerPlacement(saved, frame, 300, 200);
            EXPECT_EQ(inner.cx, 1000 - frame.left - frame.right);
            saved = outerPlacement(inner, frame); // what the desktop shows and closing writes
        }
        EXPECT_EQ(saved, (WindowPlacement{100, 80, 1000, 700})) << frame.top << ": moved or grew over six starts";
    }
    // Never smaller than the window's minimum.
    EXPECT_EQ(innerPlacement({10, 10, 200, 100}, {1, 20, 1, 5}, 530, 330), (WindowPlacement{11, 30, 530, 330}));
}

TEST(DialogPlacement, CentredOverTheAnchorAndKeptOnTheScreen)
{
    const WindowPlacement screen{0, 0, 1280, 900};
    const struct {
        WindowPlacement anchor;
        int cx, cy;
        WindowPlacement expected;
    } cases[] = {
        {{100, 80, 1000, 700}, 400, 300, {400, 280, 400, 300}},
        {{30, 30, 600, 400}, 900, 380, {0, 40, 900, 380}}, // wider than the room on the left
        {{900, 700, 600, 400}, 500, 400, {780, 500, 500, 400}}, // anchor off the bottom right
        {{100, 80, 1000, 700}, 1500, 1000, {0, 0, 1500, 1000}}, // larger than the screen: its corner shows
    };
    for (const auto& c : cases)
        EXPECT_EQ(centredPlacement(c.cx, c.cy, c.anchor, screen), c.expected) << c.anchor.x << "," << c.anchor.y;
}

} // namespace
} // namespace quillory
