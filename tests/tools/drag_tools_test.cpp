// CFLine, CFRectangle and CFCustomFigures: whole call sequences of dragging and placing.
#include <memory>

#include "templates/template_library.h"
#include "tool_fixture.h"

namespace vx::test {
namespace {

using DragTools = ToolTest;

TEST_F(DragTools, LineFollowsTheMouseAndEndsAtTheLastMove) {
    Use(CreateLineTool);
    // The press is truncated to its pixel; a repeated position is ignored; the release
    // position is not read; what follows the release stays in the queue.
    events.Drag(25, 18).Drag(25, 18).Drag(40, 30).Release(90, 90).Move(50, 50);
    EXPECT_TRUE(Draw(10.7, 10.2));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"AcceptTrackPoint 25 18 1", "RestoreOverlay 7 10 10 10 10", "BeginPath null",
                               "MoveTo 10 10", "LineTo 25 18", "EndPath null 1", "ShowOverlay 7 10 10 25 18",
                               "AcceptTrackPoint 40 30 1", "RestoreOverlay 7 10 10 25 18", "BeginPath null",
                               "MoveTo 10 10", "LineTo 40 30", "EndPath null 1", "ShowOverlay 7 10 10 40 30"},
                              kFinishing}));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 30");
    EXPECT_EQ(events.Leftover(), 1u);
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(DragTools, RectangleWritesOneRectangleNodeOfSignedSize) {
    Use(CreateRectangleTool);
    events.Drag(40, 30).Release(40, 30);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"AcceptTrackPoint 40 30 1", "RestoreOverlay 7 10 10 10 10", "BeginPath null",
                               "Rectangle 10 10 30 20", "EndPath null 1", "ShowOverlay 7 10 10 40 30"},
                              kFinishing}));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 10 L 40 30 L 10 30 Z");

    // Up and left: negative width and height.
    Reset();
    events.Drag(20, 30).Release(20, 30);
    EXPECT_TRUE(Draw(50, 50));
    EXPECT_EQ(log.Only({"Rectangle"}), (Lines{"Rectangle 50 50 -30 -20"}));
    EXPECT_EQ(PathText(path), "M 50 50 L 20 50 L 20 30 L 50 30 Z");
}

TEST_F(DragTools, FlatOrUnmovedDragsAreRefused) {
    // A flat drag gives a line but no rectangle.
    Use(CreateRectangleTool);
    events.Drag(40, 10).Release(40, 10);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.Only({"Rectangle"}), Lines{"Rectangle 10 10 30 0"});
    EXPECT_EQ(Tail(5), kCancelling);
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
    Use(CreateLineTool);
    events.Drag(40, 10).Release(40, 10);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 10");

    // Press and release without moving, or a move back onto the start pixel (a duplicate).
    for (auto create : {CreateLineTool, CreateRectangleTool}) {
        Reset();
        Use(create);
        events.Drag(10, 10).Release(30, 30);
        EXPECT_FALSE(Draw(10.5, 10.5));
        EXPECT_EQ(log.lines, Cat({kOpening, kCancelling}));
        EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
    }
}

TEST_F(DragTools, ShiftGivesEightDirectionsReadAtEachMove) {
    REQUIRE_HELD_KEYS();
    Use(CreateLineTool);
    // Anchored at the press (100, 100); the host is offered the raw point.
    events.Drag(130, 112, kShift)  // 2|dy| < |dx|: horizontal
        .Drag(110, 108, kShift)    // diagonal, same signs
        .Drag(90, 108, kShift)     // diagonal, opposite signs
        .Drag(110, 105, kShift)    // 2|dy| == |dx|: diagonal, not horizontal
        .Drag(105, 111, kShift)    // |dy| > 2|dx|: vertical
        .Drag(95, 130)             // Shift let go: the raw point
        .Release(95, 130);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"AcceptTrackPoint"}).size(), 6u);
    EXPECT_EQ(log.Only({"LineTo"}), (Lines{"LineTo 130 100", "LineTo 110 110", "LineTo 90 110",
                                           "LineTo 110 110", "LineTo 100 111", "LineTo 95 130"}));
    EXPECT_EQ(PathText(path), "M 100 100 L 95 130");
}

TEST_F(DragTools, ShiftMakesASquareAndWritesTheTraceLine) {
    REQUIRE_HELD_KEYS();
    Use(CreateRectangleTool);
    events.Drag(130, 88, kShift)  // d = 30: (130, 70)
        .Drag(130, 88, kShift)    // duplicate: no trace
        .Drag(100, 120, kShift)   // x equal to the start's goes the negative way: (80, 120)
        .Drag(104, 90)            // no Shift: no trace
        .Drag(70, 95, kShift)     // d = 30: (70, 70)
        .Release(0, 0);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(events.debugOutput, (Lines{"w=30, ptOrg.x=100, ptOrg.y=100, xScr=130, yScr=70\n",
                                         "w=20, ptOrg.x=100, ptOrg.y=100, xScr=80, yScr=120\n",
                                         "w=30, ptOrg.x=100, ptOrg.y=100, xScr=70, yScr=70\n"}));
    EXPECT_EQ(PathText(path), "M 100 100 L 70 100 L 70 70 L 100 70 Z");
}

TEST_F(DragTools, PlaceCentresTheFigureOnTheCursor) {
    Use(CreateLineTool);
    events.Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Cat({kOpening, kFinishing}));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 110");
    Use(CreateRectangleTool);
    Reset();
    events.Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 90 L 120 110 L 80 110 Z");

    // The cursor position is not truncated; every move is handled, repeated or not.
    Use(CreateLineTool);
    Reset();
    events.Move(110, 105).Move(110, 105).Drag(100, 100).Release(500, 500);
    EXPECT_TRUE(Place(100.5, 100.25, 40, 20));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"AcceptTrackPoint 110 105 1", "RestoreOverlay 7 80.5 90.25 120.5 110.25",
                               "BeginPath null", "MoveTo 90 95", "LineTo 130 115", "EndPath null 1",
                               "ShowOverlay 7 80.5 90.25 130 115", "AcceptTrackPoint 110 105 1",
                               "RestoreOverlay 7 90 95 130 115", "BeginPath null", "MoveTo 90 95",
                               "LineTo 130 115", "EndPath null 1", "ShowOverlay 7 90 95 130 115",
                               "AcceptTrackPoint 100 100 1", "RestoreOverlay 7 90 95 130 115",
                               "BeginPath null", "MoveTo 80 90", "LineTo 120 110", "EndPath null 1",
                               "ShowOverlay 7 80 90 130 115"},
                              kFinishing}));
    EXPECT_EQ(PathText(path), "M 80 90 L 120 110");
}


class CustomFigures : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        TemplateLibrary::Instance().ReleaseAll();
        // A wedge over the unit frame: top edge, right edge, closed.
        auto wedge = std::make_unique<FigureTemplate>();
        const VXCHAR* xy[] = {VXTEXT("0"), VXTEXT("0"), VXTEXT("1"), VXTEXT("0"), VXTEXT("1"),
                              VXTEXT("1")};
        for (uint32_t i = 0; i < 4; ++i) {
            wedge->elements.emplace_back();
            wedge->elements.back().kind = i == 0 ? 0 : i == 3 ? 6 : 1;
            if (i < 3) wedge->elements.back().coords[0] = xy[2 * i];
            if (i < 3) wedge->elements.back().coords[1] = xy[2 * i + 1];
        }
        wedge->SetName(VXTEXT("Wedge"));
        wedge->SetTips(VXTEXT("A wedge"));
        wedge->SetIcon(VXTEXT("wedge.ico"));
        TemplateLibrary::Instance().Store(String(VXTEXT("Wedge")), std::move(wedge));
        Use(CreateCustomFiguresTool);
        name = VXTEXT("Wedge");
    }
    void TearDown() override {
        ToolTest::TearDown();
        TemplateLibrary::Instance().ReleaseAll();
    }
    std::vector<double> Frame() {
        PathCreateParams params{};
        EXPECT_TRUE(path->GetTemplateInfo(&params));
        return {params.left, params.top, params.right, params.bottom};
    }
    std::vector<double> Transform() {
        std::vector<double> t(6);
        path->GetTransform(t.data());
        return t;
    }
};

TEST_F(CustomFigures, UnturnedDragBuildsTheFigureInTheDraggedBox) {
    events.Drag(50, 30).Release(50, 30);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"GetRotation", "AcceptTrackPoint 50 30 1", "RestoreOverlay 7 10 10 10 10",
                               "BeginPath p", "MoveTo 10 10", "LineTo 50 10", "LineTo 50 30", "ClosePath",
                               "EndPath p 1", "ShowOverlay 7 10 10 50 30"},
                              kFinishing}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 30 Z");
    EXPECT_EQ(Transform(), (std::vector<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Frame(), (std::vector<double>{10, 10, 50, 30}));
    TemplateLibrary::Instance().ReleaseAll();
    EXPECT_TRUE(path->HasTemplate());  // the path's copy outlives the library's template
}

TEST_F(CustomFigures, TurnedFrameIsTheUnturnedBoxOfTheCorners) {
    // Angle pi/2, drag (0, 0) to (40, 20): m = (20, 10), U maps the corners to (10, 30)
    // and (30, -10); the path's transform W turns them back onto the dragged corners.
    host.rotation = 1.5707963267948966;
    events.Drag(40, 20).Release(40, 20);
    EXPECT_TRUE(Draw(0, 0));
    const std::vector<double> frame = Frame(), t = Transform();
    const double expectedFrame[] = {10, -10, 30, 30}, expectedW[] = {0, 1, -1, 0, 30, -10};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(frame[i], expectedFrame[i], 1e-12) << "edge " << i;
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(t[i], expectedW[i], 1e-12) << "entry " << i;
    // The coordinates pass through six-decimal texts, which round the turn's error away.
    EXPECT_EQ(PathText(path), "M 10 -10 L 30 -10 L 30 30 Z");
    // The feedback box is the dragged one, not the turned figure's.
    EXPECT_EQ(log.Only({"ShowOverlay", "GetRotation"}), (Lines{"GetRotation", "ShowOverlay 7 0 0 40 20"}));
}

TEST_F(CustomFigures, ShiftKeepsTheLongerSide) {
    REQUIRE_HELD_KEYS();
    events.Drag(130, 88, kShift)  // (+30, -12) -> (130, 70)
        .Drag(112, 130, kShift)   // (+12, +30) -> (130, 130)
        .Release(0, 0);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"ShowOverlay"}),
              (Lines{"ShowOverlay 7 100 70 130 100", "ShowOverlay 7 100 70 130 130"}));
    EXPECT_EQ(Frame(), (std::vector<double>{100, 100, 130, 130}));
}

TEST_F(CustomFigures, DegenerateBoxesNoMoveAndRefusedPointsCancel) {
    events.Release(10, 10);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Cat({kOpening, {"GetRotation"}, kCancelling}));
    EXPECT_FALSE(path->HasTemplate());

    // A refused point does not become the last handled one: it is offered again.
    Reset();
    host.acceptTrackPoint = 0;
    events.Drag(50, 30).Drag(50, 30).Drag(60, 40).Release(60, 40);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"GetRotation", "AcceptTrackPoint 50 30 1", "AcceptTrackPoint 50 30 1",
                               "AcceptTrackPoint 60 40 1"},
                              kCancelling}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(CustomFigures, NamesAndInfo) {
    events.Drag(50, 30).Release(50, 30);
    events.Play();
    EXPECT_FALSE(tool->Draw(VXTEXT("wedge"), 10, 10, &host, nullptr, path));  // case matters
    EXPECT_FALSE(tool->Place(VXTEXT("Nothing"), 10, 10, 5, 5, &host, nullptr, path));
    EXPECT_EQ(tool->GetInfo(VXTEXT("wedge")), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(events.Leftover(), 2u);

    // The template's own strings.
    FigureInfo* info = tool->GetInfo(VXTEXT("Wedge"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(String(info->name), String(VXTEXT("Wedge")));
    EXPECT_EQ(String(info->tips), String(VXTEXT("A wedge")));
    EXPECT_EQ(String(info->icon), String(VXTEXT("wedge.ico")));
}

TEST_F(CustomFigures, PlaceNeedsAShownMoveBeforeTheRelease) {
    events.Release(0, 0);
    EXPECT_FALSE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Cat({kOpening, {"GetRotation"}, kCancelling}));

    Reset();
    events.Move(110, 105).Release(0, 0);
    EXPECT_TRUE(Place(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Cat({kOpening,
                              {"GetRotation", "AcceptTrackPoint 110 105 1", "RestoreOverlay 7 80 90 120 110",
                               "BeginPath p", "MoveTo 90 95", "LineTo 130 95", "LineTo 130 115", "ClosePath",
                               "EndPath p 1", "ShowOverlay 7 80 90 130 115"},
                              kFinishing}));
    EXPECT_EQ(Frame(), (std::vector<double>{90, 95, 130, 115}));
}

}  // namespace
}  // namespace vx::test
