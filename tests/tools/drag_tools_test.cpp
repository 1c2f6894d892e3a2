// CFLine and CFRectangle: whole call sequences of dragging and placing.
#include <gtest/gtest.h>

#include "tool_fixture.h"

namespace vx::test {
namespace {

class LineTool : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreateLineTool();
    }
};

class RectangleTool : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreateRectangleTool();
    }
};

TEST_F(LineTool, DragFollowsTheMouseAndEndsAtTheLastMove) {
    // The press is truncated to its pixel; a repeated position is ignored; the release
    // position is not read; what follows the release stays in the queue.
    events.Drag(25, 18).Drag(25, 18).Drag(40, 30).Release(90, 90).Move(50, 50);
    EXPECT_TRUE(Draw(10.7, 10.2));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"AcceptTrackPoint 25 18 1", "RestoreOverlay 7 10 10 10 10",
                                 "BeginPath null", "MoveTo 10 10", "LineTo 25 18", "EndPath null 1",
                                 "ShowOverlay 7 10 10 25 18",
                                 "AcceptTrackPoint 40 30 1", "RestoreOverlay 7 10 10 25 18",
                                 "BeginPath null", "MoveTo 10 10", "LineTo 40 30", "EndPath null 1",
                                 "ShowOverlay 7 10 10 40 30"},
                                Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 30");
    EXPECT_EQ(events.Leftover(), 1u);
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(LineTool, FeedbackRectangleIsTheUnionOfOldAndNew) {
    // Moving back toward the start shrinks the new box; the shown area still covers the
    // old one.
    events.Drag(60, 50).Drag(20, 5).Release(20, 5);
    EXPECT_TRUE(Draw(30, 30));
    EXPECT_EQ(log.Only({"RestoreOverlay", "ShowOverlay"}),
              (std::vector<std::string>{"RestoreOverlay 7 30 30 30 30", "ShowOverlay 7 30 30 60 50",
                                        "RestoreOverlay 7 30 30 60 50", "ShowOverlay 7 20 5 60 50"}));
    EXPECT_EQ(PathText(path), "M 30 30 L 20 5");
}

TEST_F(LineTool, PointsGoThroughTheHostMapping) {
    // Canvas = (screen - offset) / scale. The start is mapped after truncation.
    host.scale = 2;
    host.offsetX = 100;
    host.offsetY = 50;
    events.Drag(141, 91).Release(141, 91);
    EXPECT_TRUE(Draw(120.9, 70.9));
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "MoveTo", "LineTo", "ShowOverlay"}),
              (std::vector<std::string>{"AcceptTrackPoint 141 91 1", "MoveTo 10 10",
                                        "LineTo 20.5 20.5", "ShowOverlay 7 10 10 20.5 20.5"}));
    EXPECT_EQ(PathText(path), "M 10 10 L 20.5 20.5");
}

TEST_F(RectangleTool, DragWritesOneRectangleNode) {
    events.Drag(40, 30).Release(40, 30);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"AcceptTrackPoint 40 30 1", "RestoreOverlay 7 10 10 10 10",
                                 "BeginPath null", "Rectangle 10 10 30 20", "EndPath null 1",
                                 "ShowOverlay 7 10 10 40 30"},
                                Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 10 L 40 30 L 10 30 Z");
}

TEST_F(RectangleTool, DraggedUpAndLeftHasNegativeSize) {
    events.Drag(20, 30).Release(20, 30);
    EXPECT_TRUE(Draw(50, 50));
    EXPECT_EQ(log.Only({"Rectangle", "ShowOverlay"}),
              (std::vector<std::string>{"Rectangle 50 50 -30 -20", "ShowOverlay 7 20 30 50 50"}));
    PathNode first{};
    ASSERT_EQ(path->GetNodes(&first, 1), 1);
    EXPECT_EQ(first.x2, -30);  // the rectangle node's width and height stay in the move
    EXPECT_EQ(first.y2, -20);
    EXPECT_EQ(PathText(path), "M 50 50 L 20 50 L 20 30 L 50 30 Z");
}

TEST_F(RectangleTool, AFlatDragIsRefusedWhereALineIsNot) {
    events.Drag(40, 10).Release(40, 10);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"AcceptTrackPoint 40 10 1", "RestoreOverlay 7 10 10 10 10",
                                 "BeginPath null", "Rectangle 10 10 30 0", "EndPath null 1",
                                 "ShowOverlay 7 10 10 40 10"},
                                Cancelling()}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);

    // The same gesture with the line tool.
    log.Clear();
    IVXFigures* line = CreateLineTool();
    events.Drag(40, 10).Release(40, 10);
    events.Play();
    EXPECT_TRUE(line->Draw(VXTEXT("Line"), 10, 10, &host, nullptr, path));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 10");
    EXPECT_EQ(line->Release(), 0);
}

TEST_F(LineTool, PressAndReleaseWithoutMovingIsRefusedByBothTools) {
    events.Release(10, 10);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), Cancelling()}));

    // A move back onto the start pixel is a duplicate, so nothing was handled either.
    log.Clear();
    IVXFigures* rect = CreateRectangleTool();
    events.Drag(10, 10).Release(30, 30);
    events.Play();
    EXPECT_FALSE(rect->Draw(VXTEXT("Rectangle"), 10.5, 10.5, &host, nullptr, path));
    EXPECT_EQ(log.lines, Lines({Opening(), Cancelling()}));
    EXPECT_EQ(rect->Release(), 0);
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(LineTool, ShiftGivesEightDirectionsReadAtEachMove) {
    REQUIRE_HELD_KEYS();
    // Anchored at the press (100, 100); the host is offered the raw point.
    events.Drag(130, 112, kShift)   // 2|dy| < |dx|: horizontal
        .Drag(110, 108, kShift)     // diagonal, same signs: (110, 110)
        .Drag(90, 108, kShift)      // diagonal, opposite signs: (90, 110)
        .Drag(110, 105, kShift)     // 2|dy| == |dx|: diagonal, not horizontal
        .Drag(105, 111, kShift)     // |dy| > 2|dx|: vertical
        .Drag(95, 130)              // Shift let go: the raw point
        .Release(95, 130);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "LineTo"}),
              (std::vector<std::string>{
                  "AcceptTrackPoint 130 112 1", "LineTo 130 100", "AcceptTrackPoint 110 108 1",
                  "LineTo 110 110", "AcceptTrackPoint 90 108 1", "LineTo 90 110",
                  "AcceptTrackPoint 110 105 1", "LineTo 110 110", "AcceptTrackPoint 105 111 1",
                  "LineTo 100 111", "AcceptTrackPoint 95 130 1", "LineTo 95 130"}));
    EXPECT_EQ(PathText(path), "M 100 100 L 95 130");
}

TEST_F(LineTool, DuplicateTestUsesTheUnconstrainedPoint) {
    REQUIRE_HELD_KEYS();
    // (130, 112) and (130, 105) constrain to the same point, but both are handled; the
    // second (130, 112) after them is new again.
    events.Drag(130, 112, kShift).Drag(130, 105, kShift).Drag(130, 105, kShift).Release(0, 0);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"AcceptTrackPoint"}),
              (std::vector<std::string>{"AcceptTrackPoint 130 112 1", "AcceptTrackPoint 130 105 1"}));
}

TEST_F(RectangleTool, ShiftMakesASquareAndWritesTheTraceLine) {
    REQUIRE_HELD_KEYS();
    events.Drag(130, 88, kShift)    // d = 30: (130, 70)
        .Drag(130, 88, kShift)      // duplicate: no trace
        .Drag(100, 120, kShift)     // x equal to the start's goes the negative way: (80, 120)
        .Drag(104, 90)              // no Shift: no trace
        .Drag(70, 95, kShift)       // d = 30: (70, 70)
        .Release(0, 0);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "Rectangle"}),
              (std::vector<std::string>{"AcceptTrackPoint 130 88 1", "Rectangle 100 100 30 -30",
                                        "AcceptTrackPoint 100 120 1", "Rectangle 100 100 -20 20",
                                        "AcceptTrackPoint 104 90 1", "Rectangle 100 100 4 -10",
                                        "AcceptTrackPoint 70 95 1", "Rectangle 100 100 -30 -30"}));
    EXPECT_EQ(events.debugOutput,
              (std::vector<std::string>{"w=30, ptOrg.x=100, ptOrg.y=100, xScr=130, yScr=70\n",
                                        "w=20, ptOrg.x=100, ptOrg.y=100, xScr=80, yScr=120\n",
                                        "w=30, ptOrg.x=100, ptOrg.y=100, xScr=70, yScr=70\n"}));
    EXPECT_EQ(PathText(path), "M 100 100 L 70 100 L 70 70 L 100 70 Z");
}

TEST_F(LineTool, PlaceCentresTheBoxOnTheCursorAndFinishesOnRelease) {
    events.Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Lines({Opening(), Finishing()}));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 110");
}

TEST_F(RectangleTool, PlaceWritesTheRectangleOfTheGivenSize) {
    events.Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 90 L 120 110 L 80 110 Z");
}

TEST_F(LineTool, PlaceMovesTheFigureByTheMouseWithoutDuplicateTest) {
    // The cursor position is not truncated. Every move is handled, repeated or not.
    events.Move(110, 105).Move(110, 105).Drag(100, 100).Release(500, 500);
    EXPECT_TRUE(Place(100.5, 100.25, 40, 20));
    EXPECT_EQ(log.lines,
              Lines({Opening(),
                     {"AcceptTrackPoint 110 105 1", "RestoreOverlay 7 80.5 90.25 120.5 110.25",
                      "BeginPath null", "MoveTo 90 95", "LineTo 130 115", "EndPath null 1",
                      "ShowOverlay 7 80.5 90.25 130 115",
                      "AcceptTrackPoint 110 105 1", "RestoreOverlay 7 90 95 130 115",
                      "BeginPath null", "MoveTo 90 95", "LineTo 130 115", "EndPath null 1",
                      "ShowOverlay 7 90 95 130 115",
                      "AcceptTrackPoint 100 100 1", "RestoreOverlay 7 90 95 130 115",
                      "BeginPath null", "MoveTo 80 90", "LineTo 120 110", "EndPath null 1",
                      "ShowOverlay 7 80 90 130 115"},
                     Finishing()}));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 110");
}

TEST_F(RectangleTool, PlaceWithNegativeSizeGivesAMirroredRectangle) {
    events.Move(110, 100).Release(0, 0);
    EXPECT_TRUE(Place(100, 100, -40, 20));
    EXPECT_EQ(log.Only({"RestoreOverlay", "Rectangle", "ShowOverlay"}),
              (std::vector<std::string>{"RestoreOverlay 7 80 90 120 110", "Rectangle 130 90 -40 20",
                                        "ShowOverlay 7 80 90 130 110"}));
    EXPECT_EQ(PathText(path), "M 130 90 L 90 90 L 90 110 L 130 110 Z");
}

TEST_F(RectangleTool, PlaceIgnoresMovesTheHostRefuses) {
    host.acceptTrackPoint = 0;
    events.Move(110, 105).Move(150, 150).Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Lines({Opening(), {"AcceptTrackPoint 110 105 1", "AcceptTrackPoint 150 150 1"},
                                Finishing()}));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 90 L 120 110 L 80 110 Z");
}

TEST_F(RectangleTool, PlaceCancelsOnEscapeWithoutWriting) {
    events.Move(110, 105).KeyDown(0x1B).Release(0, 0);
    EXPECT_FALSE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"AcceptTrackPoint 110 105 1", "RestoreOverlay 7 80 90 120 110",
                                 "BeginPath null", "Rectangle 90 95 40 20", "EndPath null 1",
                                 "ShowOverlay 7 80 90 130 115"},
                                Cancelling()}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
    EXPECT_EQ(events.Leftover(), 1u);
}

}  // namespace
}  // namespace vx::test
