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

    // A press with only two vertices, or outside the closing box, is eaten; its release
    // adds a vertex. A double-click finishes open, its first click being the last vertex.
    events.Release(50, 10).Press(12, 12).Release(12, 12).Press(30, 30).Release(30, 30).DoubleClick(80, 80);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 10, 10)), "M 10 10 L 50 10 L 12 12 L 30 30");
    events.Press(50, 50).Release(50, 50).DoubleClick(50, 50).Release(50, 50);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 10, 10)), "M 10 10 L 50 50");
    EXPECT_EQ(events.Leftover(), 1u);
    // Esc right after the start: true, nothing written; Alt finishes open too.
    events.KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 10, 10)), "");
    events.Release(50, 10).Release(50, 40).SysKeyDown(0x12);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 10, 10)), "M 10 10 L 50 10 L 50 40");
}

TEST_F(ToolTest, PolygonNearBoxRefusesReleasesCloseToTheLastVertexOnTheScreen) {
    const struct {
        int markSize, x, y;
        const char* written;
    } cases[] = {{8, 104, 104, ""},
                 {8, 96, 96, ""},
                 {8, 105, 100, "M 100 100 L 105 100"},
                 {7, 103, 103, ""},
                 {7, 104, 100, "M 100 100 L 104 100"},
                 {0, 101, 100, "M 100 100 L 101 100"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.markSize << ": " << c.x << "," << c.y);
        g_parameters.MarkSize = c.markSize;
        events.Release(c.x, c.y).KeyDown(0x1B);
        EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 100, 100)), c.written);
    }
    // The near box is around the last vertex mapped back to the screen.
    g_parameters.MarkSize = 8;
    host.scale = 2;
    host.offsetX = 100;
    host.offsetY = 50;
    events.Release(124, 74).Release(125, 70).KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 120, 70)), "M 10 10 L 12.5 10");
}

TEST_F(ToolTest, PolygonShiftKeepsEachSegmentAtAMultipleOf45Degrees) {
    REQUIRE_HELD_KEYS();
    // Vertices (130, 100), then diagonal from there (150, 120). The
    // closing mark needs the constrained point: (103, 103) becomes (103, 120), outside;
    // (104, 103) without Shift is inside.
    events.Move(130, 112, kShift).Release(130, 112, kShift).Move(150, 125, kShift).Release(150, 125, kShift);
    events.Move(103, 103, kShift).Move(104, 103).KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreatePolygonTool, 100, 100)), "M 100 100 L 130 100 L 150 120");
    EXPECT_EQ(log.Only({"DrawMark"}), (Lines{"DrawMark 100 100 8 8 3"}));
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
    // Closing before any further anchor writes the rubber curve.
    events.Move(150, 130).Press(102, 103);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)), "M 100 100 C 100 100 150 130 150 130 Z");

    // Plumb with the start press, level with it, on its pixel; later plumb with (150, 150).
    // The start press counts as the truncated (100, 100).
    events.Press(100, 150).Press(150, 100).Press(100, 100).Move(150, 150).Press(150, 150).Press(150, 170);
    events.KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100.5, 100.5)), "M 100.5 100.5 C 100.5 100.5 150 150 150 150");
    // The first press of the double-click placed the last anchor.
    events.Move(150, 120).Press(150, 120).Release(150, 120).DoubleClick(150, 120);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)), "M 100 100 C 100 100 150 120 150 120");
    events.Move(150, 120).Press(150, 120).Move(200, 90).Press(200, 90).Move(230, 60).KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)), "M 100 100 C 100 100 150 120 150 120 C 150 120 200 90 200 90");
    // A press where no move went: the curve ends at the press, and the drag after it mirrors
    // through it, (140, 120) = 2 (160, 130) - (180, 140).
    events.Move(150, 120).Press(160, 130).Drag(180, 140).Release(180, 140).Move(200, 100).Press(200, 100);
    events.KeyDown(0x1B);
    EXPECT_EQ(Got(DrawWith(CreateBezierTool, 100, 100)),
              "M 100 100 C 100 100 140 120 160 130 C 180 140 200 100 200 100");
}

TEST_F(ToolTest, FreeHandRecordsEveryThreePixelsAndDrawsTheWholeStroke) {
    // 2 pixels on both axes: not recorded; 3 on x: recorded; presses are dispatched. The
    // stroke is thinned: the run ends at its last point.
    events.Drag(12, 12).Drag(13, 10).Press(20, 20).Drag(16, 10).Release(16, 10);
    EXPECT_EQ(Got(DrawWith(CreateFreeHandTool, 10.5, 10.5)), "M 10 10 L 16 10");
    EXPECT_TRUE(MatchesGolden(log.lines, "drawn_shapes_FreeHandRecordsEveryThreePixelsAndDrawsTheWholeStroke_1"));
    EXPECT_EQ(events.dispatched, (Lines{"w0 0x0201 1 1310740"}));
    // One recorded move: the move alone, and true. Nothing recorded: the release cancels
    // and leaves the move (the editor discards it).
    events.Drag(3, 0).Release(0, 0);
    EXPECT_EQ(Got(DrawWith(CreateFreeHandTool, 0, 0)), "M 0 0");
    events.Drag(6, 7).Drag(3, 3).Release(6, 7);
    EXPECT_EQ(Got(DrawWith(CreateFreeHandTool, 5, 5)), "refused: M 5 5");
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
