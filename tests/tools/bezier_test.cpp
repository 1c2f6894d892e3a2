// CFBezier: anchors by press, mirrored handles while dragging, closing and finishing.
#include <gtest/gtest.h>

#include <algorithm>

#include "tool_fixture.h"

namespace vx::test {
namespace {

class BezierTool : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreateBezierTool();
    }
};

TEST_F(BezierTool, DraggingRightAfterTheStartSetsOnlyTheRubberCurvesFirstControl) {
    events.Drag(110, 90).Release(110, 90).Move(150, 100).KeyDown(0x1B);
    EXPECT_FALSE(Draw(100, 100));  // Esc with only the rubber curve cancels
    const std::vector<std::string> marks = {"MoveTo 90 110", "LineTo 110 90",
                                            "DrawMark 100 100 8 8 2", "DrawMark 90 110 8 8 3",
                                            "DrawMark 110 90 8 8 3", "EndPath null 1",
                                            "ShowOverlay 7 null"};
    EXPECT_EQ(log.lines,
              Lines({Opening(),
                     {"AcceptTrackPoint 110 90 1", "RestoreOverlay 7 null", "BeginPath null",
                      "MoveTo 100 100", "CurveTo 110 90 100 100 100 100"},
                     marks,
                     {"AcceptTrackPoint 150 100 1", "RestoreOverlay 7 null", "BeginPath null",
                      "MoveTo 100 100", "CurveTo 110 90 150 100 150 100"},
                     marks, Cancelling()}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(BezierTool, AnchorsMirroredHandlesAndClosingOnTheStart) {
    events.Drag(110, 90)
        .Release(110, 90)   // swallowed
        .Move(150, 100)
        .Press(150, 100)    // level with the start press: ignored
        .Move(150, 120)
        .Press(150, 120)    // anchor A = (150, 120)
        .Drag(170, 130)     // pulls A's outgoing control; the incoming one mirrors it
        .Release(170, 130)
        .Move(200, 100)
        .Press(200, 100)    // anchor (200, 100)
        .Move(103, 97)      // inside the closing box: the mark
        .Press(103, 97);    // closes: the rubber curve is left out
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path),
              "M 100 100 C 110 90 130 110 150 120 C 170 130 200 100 200 100 Z");
    EXPECT_TRUE(events.dispatched.empty());

    // The frame of the drag at (170, 130): both handles of the curve before, and the
    // handles of A.
    const std::vector<std::string> drag = {
        "AcceptTrackPoint 170 130 1", "RestoreOverlay 7 null", "BeginPath null",
        "MoveTo 100 100", "CurveTo 110 90 130 110 150 120", "CurveTo 170 130 150 120 150 120",
        "MoveTo 130 110", "LineTo 170 130", "DrawMark 150 120 8 8 2", "DrawMark 130 110 8 8 3",
        "DrawMark 170 130 8 8 3", "MoveTo 110 90", "LineTo 100 100", "DrawMark 100 100 8 8 2",
        "DrawMark 110 90 8 8 3", "EndPath null 1", "ShowOverlay 7 null"};
    auto at = std::find(log.lines.begin(), log.lines.end(), "AcceptTrackPoint 170 130 1");
    ASSERT_NE(at, log.lines.end());
    EXPECT_EQ(std::vector<std::string>(at, at + static_cast<long>(drag.size())), drag);

    // The last frame ends with the closing mark, inside the path bracket's end.
    const std::vector<std::string> tail = {"EndPath null 1", "DrawMark 100 100 8 8 3",
                                           "ShowOverlay 7 null", "DropOverlay 7", "EndOverlay",
                                           "EndTracking"};
    EXPECT_EQ(std::vector<std::string>(log.lines.end() - 6, log.lines.end()), tail);
}

TEST_F(BezierTool, ClosingBeforeAnyFurtherAnchorWritesTheRubberCurve) {
    events.Move(150, 130).Press(102, 103);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 150 130 150 130 Z");
}

TEST_F(BezierTool, PressesOnTheSameRowOrColumnAsTheLastAreIgnored) {
    events.Press(100, 150)  // plumb with the start press
        .Press(150, 100)    // level with it
        .Press(100, 100)    // the same pixel
        .Move(150, 150)
        .Press(150, 150)    // taken
        .Press(150, 170)    // plumb with (150, 150)
        .KeyDown(0x1B);
    EXPECT_TRUE(Draw(100.5, 100.5));  // the last press starts as the truncated (100, 100)
    EXPECT_EQ(PathText(path), "M 100.5 100.5 C 100.5 100.5 150 150 150 150");
}

TEST_F(BezierTool, DoubleClickAndEscFinishWithTheCommittedCurves) {
    // The first press of the double-click placed the last anchor.
    events.Move(150, 120).Press(150, 120).Release(150, 120).DoubleClick(150, 120);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 150 120 150 120");

    path->ClearNodes();
    events.Move(150, 120).Press(150, 120).Move(200, 90).Press(200, 90).Move(230, 60).KeyDown(0x1B);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path),
              "M 100 100 C 100 100 150 120 150 120 C 150 120 200 90 200 90");

    path->ClearNodes();
    // Alt after one anchor: three nodes, finish. Without a move the committed curve keeps
    // the points it started with.
    events.Press(150, 120).SysKeyDown(0x12);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(PathText(path), "M 100 100 C 100 100 100 100 100 100");
}

TEST_F(BezierTool, MovesAreNotDeduplicated) {
    events.Move(120, 120).Move(120, 120).KeyDown(0x1B);
    EXPECT_FALSE(Draw(100, 100));
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "ShowOverlay"}),
              (std::vector<std::string>{"AcceptTrackPoint 120 120 1", "ShowOverlay 7 null",
                                        "AcceptTrackPoint 120 120 1", "ShowOverlay 7 null",
                                        "ShowOverlay 7 null"}));
}

}  // namespace
}  // namespace vx::test
