// CFPolygon, CFBezier and CFreeHand: vertices, anchors and strokes, closing, finishing,
// and the free-hand thinning.
#include <cmath>

#include "support/golden.h"
#include "tool_fixture.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

TEST_F(ToolTest, PolygonClosesOnTheFirstVertexOrFinishesOpen) {
    // The closing box (half-side 4) is centred on the press as passed, (10.6, 10.4); the
    // first vertex is the truncated press. The starting click's own release falls near the
    // first vertex; (13, 14) is inside the closing box with three vertices: the mark.
    events.Release(10, 10).Move(50, 10).Release(50, 10).Move(50, 40).Release(50, 40);
    events.Move(13, 14).Press(14, 14);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 10.6, 10.4)), "M 10 10 L 50 10 L 50 40 Z");
    EXPECT_TRUE(MatchesGolden(log.lines, "drawn_shapes_PolygonClosesOnTheFirstVertexOrFinishesOpen_1"));
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(ToolTest, PolygonNearBoxIsAroundTheLastVertexOnTheScreen) {
    // The near box is around the last vertex mapped back to the screen.
    host.scale = 2;
    host.offsetX = 100;
    host.offsetY = 50;
    events.Release(124, 74).Release(125, 70).KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 120, 70)), "M 10 10 L 12.5 10");
}

TEST_F(ToolTest, BezierDraggingAfterAPressPullsTheControlsAndPressingOnTheStartCloses) {
    // Right after the start only the rubber curve's c1 is set; moves are not deduplicated;
    // Esc with only the rubber curve cancels.
    events.Drag(110, 90).Release(110, 90).Move(150, 100).Move(150, 100).KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)), "refused: ");
    EXPECT_EQ(log.Only({"CurveTo"}), (Lines{"CurveTo 110 90 100 100 100 100", "CurveTo 110 90 150 100 150 100",
                                            "CurveTo 110 90 150 100 150 100"}));
    EXPECT_EQ(Tail(5), kCancelling);
    // The release is swallowed; a press level with the start is ignored; the press at
    // A = (150, 120) and drag to D = (170, 130): the curve ending at A has c2 = 2A - D, the
    // next starts with c1 = D. Pressing in the closing box closes, leaving the rubber curve
    // out; the last frame ends with the closing mark, after the path bracket's end.
    events.Drag(110, 90).Release(110, 90).Move(150, 100).Press(150, 100).Move(150, 120).Press(150, 120);
    events.Drag(170, 130).Release(170, 130).Move(200, 100).Press(200, 100).Move(103, 97).Press(103, 97);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)),
              "M 100 100 C 110 90 130 110 150 120 C 170 130 200 100 200 100 Z");
    EXPECT_EQ(Tail(6), Cat({{"EndPath null 1", "DrawMark 100 100 8 8 3", "ShowOverlay 7 null"}, kFinishing}));
}

TEST_F(ToolTest, FreeHandRecordsEveryThreePixelsAndDrawsTheWholeStroke) {
    // 2 pixels on both axes: not recorded; 3 on x: recorded; presses are dispatched. The
    // stroke is thinned: the run ends at its last point.
    events.Drag(12, 12).Drag(13, 10).Press(20, 20).Drag(16, 10).Release(16, 10);
    EXPECT_EQ(Got(DrawWith(CreateFreeHandTool, 10.5, 10.5)), "M 10 10 L 16 10");
    EXPECT_TRUE(MatchesGolden(log.lines, "drawn_shapes_FreeHandRecordsEveryThreePixelsAndDrawsTheWholeStroke_1"));
    EXPECT_EQ(events.dispatched, (Lines{"w0 0x0201 1 1310740"}));
}

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
