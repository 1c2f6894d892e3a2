// CFreeHand's thinning of a stroke (the gestures of CFPolygon, CFBezier and CFreeHand are
// rows of tests/data/tools/gestures.txt).
#include <cmath>

#include "tool_fixture.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

TEST_F(ToolTest, FreeHandThinningTheRunTestAndThePointThatLeavesARun) {
    const struct {
        tools::CanvasPoint p;
        bool side;
        int32_t expected;
    } cases[] = {{{15, 1}, true, 2},   {{15, 1.01}, true, 0}, {{5, 1}, true, 3},
                 {{-5, 0.5}, true, 1}, {{0, 0}, true, 6},     {{10, 0}, true, 7},
                 {{11, -1}, true, 3},  {{15, 1}, false, 0},   {{std::nan(""), 0}, true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y << " side " << c.side);
        EXPECT_EQ(tools::ClassifyPointOnSegment({0, 0}, {10, 0}, c.p, c.side, 1.0f), c.expected);
    }
    // A degenerate segment measures no distance: every point is "on the line".
    EXPECT_EQ(tools::ClassifyPointOnSegment({0, 0}, {0, 0}, {50, 50}, true, 1.0f), 2);
    // Length estimate of (3, 4): 4 + 3/2 = 5.5, not 5.
    EXPECT_DOUBLE_EQ(tools::ApproxLineDistance({0, 0}, {3, 4}, {4, -3}), 25 / 5.5);

    // The point that leaves a run is kept: the corner sample goes; back at A (code 6), at B
    // (code 7), inside the run (code 3) or behind A (code 1) ends the run.
    const char* strokes[][2] = {{"M 0 0 L 3 0 L 6 0 L 6 3 L 6 6", "M 0 0 L 6 3 L 6 6"},
                                {"M 0 0 L 3 0 L 6 0 L 9 0", "M 0 0 L 9 0"},
                                {"M 0 0 L 10 0 L 0 0", "M 0 0 L 0 0"},
                                {"M 0 0 L 10 0 L 10 0 L 20 0", "M 0 0 L 10 0 L 20 0"},
                                {"M 0 0 L 10 0 L 5 0.5", "M 0 0 L 5 0.5"},
                                {"M 0 0 L 10 0 L -5 0.5", "M 0 0 L -5 0.5"}};
    for (const auto& s : strokes) {
        SCOPED_TRACE(s[0]);
        Reset();
        AddPathText(path, s[0]);
        tools::ThinStroke(path);
        EXPECT_EQ(PathText(path), s[1]);
    }
}

}  // namespace
}  // namespace vx::test
