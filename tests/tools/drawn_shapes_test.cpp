// CFPolygon, CFBezier and CFreeHand: vertices, anchors and strokes, closing, finishing,
// and the free-hand thinning.
#include <cmath>

#include "tool_fixture.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

using tools::CanvasPoint;
using PolygonTool = ToolTest;
using BezierTool = ToolTest;
using FreeHandTool = ToolTest;

TEST_F(PolygonTool, ClosesByPressingOnTheFirstVertex) {
    Use(CreatePolygonTool);
    // The closing box (half-side 4) is centred on the press as passed, (10.6, 10.4); the
    // first vertex is the truncated press.
    events.Release(10, 10)  // the starting click's own release: near the first vertex
        .Move(50, 10).Release(50, 10).Move(50, 40).Release(50, 40)
        .Move(13, 14)  // inside the closing box with three vertices: the mark
        .Press(14, 14);
    EXPECT_TRUE(Draw(10.6, 10.4));
    const Lines two = {"RestoreOverlay 7 null", "BeginPath null", "MoveTo 10 10", "LineTo 50 10"};
    EXPECT_EQ(log.lines, Cat({kOpening, two, {"EndPath null 1", "ShowOverlay 7 10 10 50 10"},
                              two, {"LineTo 50 40", "EndPath null 1", "ShowOverlay 7 10 10 50 40"},
                              two, {"LineTo 50 40", "LineTo 13 14", "EndPath null 1", "DrawMark 10 10 8 8 3",
                                    "ShowOverlay 7 10 10 50 40"},
                              kFinishing}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 40 Z");
    EXPECT_TRUE(events.dispatched.empty());

    // A press with only two vertices, or outside the closing box, is eaten; its release
    // adds a vertex. A double-click finishes open.
    Reset();
    events.Release(50, 10).Press(12, 12).Release(12, 12).Press(30, 30).Release(30, 30).DoubleClick(80, 80);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 12 12 L 30 30");
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(PolygonTool, NearBoxRefusesReleasesCloseToTheLastVertexOnTheScreen) {
    Use(CreatePolygonTool);
    const struct {
        int markSize, x, y;
        bool added;
    } cases[] = {{8, 104, 104, false}, {8, 96, 96, false}, {8, 105, 100, true}, {8, 100, 95, true},
                 {7, 103, 103, false}, {7, 104, 100, true}, {0, 101, 100, true}, {0, 100, 100, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.markSize << ": " << c.x << "," << c.y);
        g_parameters.MarkSize = c.markSize;
        Reset();
        events.Release(c.x, c.y).KeyDown(0x1B);
        EXPECT_TRUE(Draw(100, 100));
        const std::string added = "M 100 100 L " + std::to_string(c.x) + " " + std::to_string(c.y);
        EXPECT_EQ(PathText(path), c.added ? added : "");
    }
    // The near box is around the last vertex mapped back to the screen.
    g_parameters.MarkSize = 8;
    Reset();
    host.scale = 2;
    host.offsetX = 100;
    host.offsetY = 50;
    host.logMapping = true;
    events.Release(124, 74).Release(125, 70).KeyDown(0x1B);
    EXPECT_TRUE(Draw(120, 70));
    EXPECT_EQ(log.Only({"AdjustPoint", "ToScreen"}),
              (Lines{"AdjustPoint 120 70", "ToScreen 10 10", "ToScreen 10 10", "AdjustPoint 125 70"}));
    EXPECT_EQ(PathText(path), "M 10 10 L 12.5 10");
}

TEST_F(PolygonTool, DoubleClickEscOrAltFinishOpen) {
    Use(CreatePolygonTool);
    // The first click of the double-click is the last vertex.
    events.Press(50, 50).Release(50, 50).DoubleClick(50, 50).Release(50, 50);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(log.lines, Cat({kOpening, kFinishing}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 50");
    EXPECT_EQ(events.Leftover(), 1u);

    Reset();
    events.KeyDown(0x1B);
    EXPECT_TRUE(Draw(10, 10));  // a single vertex: true, nothing written
    EXPECT_EQ(log.lines, Cat({kOpening, kFinishing}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);

    events.Release(50, 10).Release(50, 40).SysKeyDown(0x12);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 40");
}

TEST_F(PolygonTool, ShiftKeepsEachSegmentAtAMultipleOf45Degrees) {
    Use(CreatePolygonTool);
    REQUIRE_HELD_KEYS();
    events.Move(130, 112, kShift).Release(130, 112, kShift)  // (130, 100)
        .Move(150, 125, kShift).Release(150, 125, kShift)     // diagonal from there: (150, 120)
        .Move(150, 104, kShift)                               // vertical: (150, 104)
        .Move(103, 103, kShift)  // the closing mark needs the constrained point: (103, 120) is outside
        .Move(104, 103)          // unconstrained and inside: mark
        .KeyDown(0x1B);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"DrawMark"}), (Lines{"DrawMark 100 100 8 8 3"}));
    EXPECT_EQ(log.Only({"LineTo"})[5], "LineTo 150 104");  // vertical from (150, 120)
    EXPECT_EQ(PathText(path), "M 100 100 L 130 100 L 150 120");
}

TEST_F(BezierTool, DraggingRightAfterTheStartSetsOnlyTheRubberCurvesFirstControl) {
    Use(CreateBezierTool);
    // Moves are not deduplicated; Esc with only the rubber curve cancels.
    events.Drag(110, 90).Release(110, 90).Move(150, 100).Move(150, 100).KeyDown(0x1B);
    EXPECT_FALSE(Draw(100, 100));
    EXPECT_EQ(log.Only({"CurveTo"}), (Lines{"CurveTo 110 90 100 100 100 100",
                                            "CurveTo 110 90 150 100 150 100",
                                            "CurveTo 110 90 150 100 150 100"}));
    EXPECT_EQ(Tail(5), kCancelling);
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(BezierTool, AnchorsMirroredHandlesAndClosingOnTheStart) {
    Use(CreateBezierTool);
    events.Drag(110, 90).Release(110, 90)  // the release is swallowed
        .Move(150, 100).Press(150, 100)     // level with the start press: ignored
        .Move(150, 120).Press(150, 120)     // anchor A = (150, 120)
        .Drag(170, 130)  // pulls A's outgoing control; the incoming one mirrors it
        .Release(170, 130).Move(200, 100).Press(200, 100)
        .Move(103, 97)    // inside the closing box: the mark
        .Press(103, 97);  // closes: the rubber curve is left out
    EXPECT_TRUE(Draw(100, 100));
    // The curve ending at A has c2 = 2A - D, the next starts with c1 = D.
    EXPECT_EQ(PathText(path), "M 100 100 C 110 90 130 110 150 120 C 170 130 200 100 200 100 Z");
    EXPECT_TRUE(events.dispatched.empty());
    // The last frame ends with the closing mark, after the path bracket's end.
    EXPECT_EQ(Tail(6), Cat({{"EndPath null 1", "DrawMark 100 100 8 8 3", "ShowOverlay 7 null"}, kFinishing}));

    // Closing before any further anchor writes the rubber curve.
    Reset();
    events.Move(150, 130).Press(102, 103);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 150 130 150 130 Z");
}

TEST_F(BezierTool, PressesOnTheSameRowOrColumnAsTheLastAreIgnored) {
    Use(CreateBezierTool);
    events.Press(100, 150)  // plumb with the start press
        .Press(150, 100)    // level with it
        .Press(100, 100)    // the same pixel
        .Move(150, 150).Press(150, 150)
        .Press(150, 170)  // plumb with (150, 150)
        .KeyDown(0x1B);
    EXPECT_TRUE(Draw(100.5, 100.5));  // the last press starts as the truncated (100, 100)
    EXPECT_EQ(PathText(path), "M 100.5 100.5 C 100.5 100.5 150 150 150 150");
}

TEST_F(BezierTool, DoubleClickAndEscFinishWithTheCommittedCurves) {
    Use(CreateBezierTool);
    // The first press of the double-click placed the last anchor.
    events.Move(150, 120).Press(150, 120).Release(150, 120).DoubleClick(150, 120);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 150 120 150 120");
    Reset();
    events.Move(150, 120).Press(150, 120).Move(200, 90).Press(200, 90).Move(230, 60).KeyDown(0x1B);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 150 120 150 120 C 150 120 200 90 200 90");
}

TEST_F(FreeHandTool, RecordsEveryThreePixelsAndDrawsTheWholeStroke) {
    Use(CreateFreeHandTool);
    // 2 pixels on both axes: not recorded; 3 on x: recorded; presses are dispatched.
    events.Drag(12, 12).Drag(13, 10).Press(20, 20).Drag(16, 10).Release(16, 10);
    EXPECT_TRUE(Draw(10.5, 10.5));
    EXPECT_EQ(log.lines,
              Cat({kOpening,
                   {"AcceptTrackPoint 13 10 1", "RestoreOverlay 7 10 10 10 10", "BeginPath p",
                    "MoveTo 10 10", "LineTo 13 10", "EndPath p 1", "ShowOverlay 7 10 10 13 10",
                    "AcceptTrackPoint 16 10 1", "RestoreOverlay 7 10 10 13 10", "BeginPath p",
                    "MoveTo 10 10", "LineTo 13 10", "LineTo 16 10", "EndPath p 1",
                    "ShowOverlay 7 10 10 16 10"},
                   kFinishing}));
    EXPECT_EQ(events.dispatched, (Lines{"w0 0x0201 1 1310740"}));
    EXPECT_EQ(PathText(path), "M 10 10 L 16 10");  // thinned: the run ends at its last point

    // The feedback box is that of the start and the new point only.
    Reset();
    events.Drag(30, 0).Drag(10, 0).Drag(20, 3).Release(0, 0);
    EXPECT_TRUE(Draw(0, 0));
    EXPECT_EQ(log.Only({"ShowOverlay"}), (Lines{"ShowOverlay 7 0 0 30 0", "ShowOverlay 7 0 0 30 0",
                                                "ShowOverlay 7 0 0 20 3"}));
    // One recorded move: the move alone, and true.
    Reset();
    events.Drag(3, 0).Release(0, 0);
    EXPECT_TRUE(Draw(0, 0));
    EXPECT_EQ(PathText(path), "M 0 0");
    // Nothing recorded: the release cancels and leaves the move (the editor discards it).
    Reset();
    events.Drag(6, 7).Drag(3, 3).Release(6, 7);
    EXPECT_FALSE(Draw(5, 5));
    EXPECT_EQ(log.lines, Cat({kOpening, kCancelling}));
    EXPECT_EQ(PathText(path), "M 5 5");
}

TEST(FreeHandThinning, ClassifyPointOnSegmentAndTheLengthEstimate) {
    const CanvasPoint a{0, 0}, b{10, 0};
    const struct {
        CanvasPoint p;
        bool side;
        int32_t expected;
    } cases[] = {
        {{15, 1}, true, 2},  {{15, 1.01}, true, 0},  {{5, 1}, true, 3},    {{-5, 0.5}, true, 1},
        {{0, 0}, true, 6},   {{10, 0}, true, 7},     {{11, -1}, true, 3},  {{15, 1}, false, 0},
        {{5, 2}, true, 0},   {{-5, 0.5}, false, 0},  {{std::nan(""), 0}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y << " side " << c.side);
        EXPECT_EQ(tools::ClassifyPointOnSegment(a, b, c.p, c.side, 1.0f), c.expected);
    }
    // A degenerate segment measures no distance: every point is "on the line".
    EXPECT_EQ(tools::ClassifyPointOnSegment(a, a, CanvasPoint{50, 50}, true, 1.0f), 2);
    // Length estimate of (3, 4): 4 + 3/2 = 5.5, not 5.
    EXPECT_DOUBLE_EQ(tools::ApproxLineDistance({0, 0}, {3, 4}, {4, -3}), 25 / 5.5);
}

TEST(FreeHandThinning, ThePointThatLeavesARunIsKept) {
    const struct {
        const char* stroke;
        const char* written;
    } cases[] = {
        {"M 0 0 L 3 0 L 6 0 L 6 3 L 6 6", "M 0 0 L 6 3 L 6 6"},  // the corner sample goes
        {"M 0 0 L 3 0 L 6 0 L 9 0", "M 0 0 L 9 0"},
        {"M 0 0 L 10 0 L 0 0", "M 0 0 L 0 0"},                   // back at A: code 6
        {"M 0 0 L 10 0 L 10 0 L 20 0", "M 0 0 L 10 0 L 20 0"},   // at B: code 7
        {"M 0 0 L 10 0 L 5 0.5", "M 0 0 L 5 0.5"},               // inside the run: code 3
        {"M 0 0 L 10 0 L -5 0.5", "M 0 0 L -5 0.5"},             // behind A: code 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stroke);
        CVXPath* p = CVXPath::Create();
        AddPathText(p, c.stroke);
        tools::ThinStroke(p);
        EXPECT_EQ(PathText(p), c.written);
        EXPECT_EQ(p->Release(), 0);
    }
}

}  // namespace
}  // namespace vx::test
