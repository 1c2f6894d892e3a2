// CFLine, CFRectangle and CFCustomFigures: whole call sequences of dragging and placing,
// and the Shift constraints of the dragging tools.
#include <memory>

#include "support/golden.h"
#include "templates/template_library.h"
#include "tool_fixture.h"

namespace vx::test {
namespace {

TEST_F(ToolTest, DragToolsLineFollowsTheMouseAndEndsAtTheLastMove) {
    // The press is truncated to its pixel; a repeated position is ignored; the release
    // position is not read; what follows the release stays in the queue.
    events.Drag(20, 20).Drag(20, 20).Drag(40, 30).Release(90, 90).Move(50, 50);
    EXPECT_EQ(Got(DrawWith(CreateLineTool, 10.7, 10.2)), "M 10 10 L 40 30");
    EXPECT_TRUE(MatchesGolden(log.lines, "drag_tools_DragToolsLineFollowsTheMouseAndEndsAtTheLastMove_1"));
    EXPECT_EQ(events.Leftover(), 1u);
}

TEST_F(ToolTest, DragToolsRectangleWritesOneSignedNodeAndFlatOrUnmovedDragsAreRefused) {
    events.Drag(40, 30).Release(40, 30);
    EXPECT_EQ(Got(DrawWith(CreateRectangleTool, 10, 10)), "M 10 10 L 40 10 L 40 30 L 10 30 Z");
    EXPECT_EQ(Tail(7), Cat({{"BeginPath null", "Rectangle 10 10 30 20", "EndPath null 1", "ShowOverlay 7 10 10 40 30"},
                            kFinishing}));
    // Up and left: negative width and height.
    events.Drag(20, 30).Release(20, 30);
    EXPECT_EQ(Got(DrawWith(CreateRectangleTool, 50, 50)), "M 50 50 L 20 50 L 20 30 L 50 30 Z");

    // A flat drag gives a line but no rectangle; a move onto the start pixel is no move.
    const struct {
        IVXFigures* (*create)();
        int x;
        size_t shown;
        const char* written;
    } cases[] = {{CreateRectangleTool, 40, 1, "refused: "},
                 {CreateLineTool, 40, 1, "M 10 10 L 40 10"},
                 {CreateRectangleTool, 10, 0, "refused: "},
                 {CreateLineTool, 10, 0, "refused: "}};
    for (const auto& c : cases) {
        events.Drag(c.x, 10).Release(30, 30);
        EXPECT_EQ(Got(DrawWith(c.create, 10.5, 10.5)), c.written);
        EXPECT_EQ(log.Only({"AcceptTrackPoint"}).size(), c.shown);
    }
}

TEST_F(ToolTest, DragToolsPlaceCentresTheFigureOnTheCursor) {
    for (auto [make, text] : {std::pair<IVXFigures* (*)(), const char*>{CreateLineTool, "M 80 90 L 120 110"},
                              {CreateRectangleTool, "M 80 90 L 120 90 L 120 110 L 80 110 Z"}}) {
        Reset();
        Use(make);
        events.Release(0, 0);
        EXPECT_EQ(Got(Place(100, 100, 40, 20)), text);
        EXPECT_EQ(log.lines, Cat({kOpening, kFinishing}));
    }
    // The cursor position is not truncated; every move is handled, repeated or not.
    Reset();
    events.Move(110, 105).Move(110, 105).Release(500, 500);
    EXPECT_EQ(Got(Place(100.5, 100.25, 40, 20)), "M 90 95 L 130 95 L 130 115 L 90 115 Z");
    EXPECT_EQ(log.Only({"Rectangle", "ShowOverlay"}),
              (Lines{"Rectangle 90 95 40 20", "ShowOverlay 7 80.5 90.25 130 115", "Rectangle 90 95 40 20",
                     "ShowOverlay 7 90 95 130 115"}));
}

class CustomFigures : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        // A wedge over the unit frame: top edge, right edge, closed.
        auto wedge = std::make_unique<FigureTemplate>();
        const String o(VXTEXT("0")), l(VXTEXT("1"));
        wedge->elements = {{0, {o, o}}, {1, {l, o}}, {1, {l, l}}, {6, {}}};
        wedge->SetName(VXTEXT("Wedge"));
        wedge->SetTips(VXTEXT("A wedge"));
        wedge->SetIcon(VXTEXT("wedge.ico"));
        TemplateLibrary::Instance().Store(String(VXTEXT("Wedge")), std::move(wedge));
        name = VXTEXT("Wedge");
    }
    // The library is global: each test leaves it empty.
    void TearDown() override {
        ToolTest::TearDown();
        TemplateLibrary::Instance().ReleaseAll();
    }
    // The template frame, then the transform.
    std::vector<double> FrameAndTransform() {
        PathCreateParams p{};
        EXPECT_TRUE(path->GetTemplateInfo(&p));
        std::vector<double> all = {p.left, p.top, p.right, p.bottom, 0, 0, 0, 0, 0, 0};
        path->GetTransform(&all[4]);
        return all;
    }
};

TEST_F(CustomFigures, DragBuildsTheFigureInTheDraggedBox) {
    events.Drag(50, 30).Release(50, 30);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 10, 10)), "M 10 10 L 50 10 L 50 30 Z");
    EXPECT_TRUE(MatchesGolden(log.lines, "drag_tools_DragBuildsTheFigureInTheDraggedBox_1"));
    EXPECT_EQ(FrameAndTransform(), (std::vector<double>{10, 10, 50, 30, 1, 0, 0, 1, 0, 0}));

    // Angle pi/2, drag (0, 0) to (40, 20): m = (20, 10), U maps the corners to (10, 30)
    // and (30, -10); the path's transform W turns them back onto the dragged corners. The
    // coordinates pass through six-decimal texts, which round the turn's error away.
    host.rotation = 1.5707963267948966;
    events.Drag(40, 20).Release(40, 20);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 0, 0)), "M 10 -10 L 30 -10 L 30 30 Z");
    const std::vector<double> all = FrameAndTransform(), expected = {10, -10, 30, 30, 0, 1, -1, 0, 30, -10};
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(all[i], expected[i], 1e-12) << "entry " << i;
    // The feedback box is the dragged one, not the turned figure's.
    EXPECT_EQ(log.Only({"ShowOverlay", "GetRotation"}), (Lines{"GetRotation", "ShowOverlay 7 0 0 40 20"}));
    TemplateLibrary::Instance().ReleaseAll();
    EXPECT_TRUE(path->HasTemplate());  // the path's copy outlives the library's template
}

TEST_F(CustomFigures, UnmovedOrRefusedDragsPlacesWithoutAMoveAndUnknownNamesCancel) {
    events.Release(10, 10);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 10, 10)), "refused: ");
    EXPECT_EQ(log.lines, Cat({kOpening, {"GetRotation"}, kCancelling}));
    EXPECT_FALSE(path->HasTemplate());
    // A refused point does not become the last handled one: it is offered again.
    host.acceptTrackPoint = 0;
    events.Drag(50, 30).Drag(50, 30).Drag(60, 40).Release(60, 40);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 10, 10)), "refused: ");
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "BeginPath"}),
              (Lines{"AcceptTrackPoint 50 30 1", "AcceptTrackPoint 50 30 1", "AcceptTrackPoint 60 40 1"}));

    // Unknown names (case matters) touch nothing; a known one gives the template's strings.
    Reset();
    events.Drag(50, 30).Release(50, 30);
    events.Play();
    EXPECT_FALSE(tool->Draw(VXTEXT("wedge"), 10, 10, &host, nullptr, path));
    EXPECT_FALSE(tool->Place(VXTEXT("Nothing"), 10, 10, 5, 5, &host, nullptr, path));
    EXPECT_EQ(tool->GetInfo(VXTEXT("wedge")), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(events.Leftover(), 2u);
    const FigureInfo* info = tool->GetInfo(VXTEXT("Wedge"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(String(info->name) + VXTEXT("|") + String(info->tips) + VXTEXT("|") + String(info->icon),
              String(VXTEXT("Wedge|A wedge|wedge.ico")));

    host.acceptTrackPoint = 1;
    events.Release(0, 0);
    EXPECT_EQ(Got(Place(100, 100, 40, 20)), "refused: ");
    EXPECT_EQ(log.lines, Cat({kOpening, {"GetRotation"}, kCancelling}));
    Reset();
    events.Move(110, 105).Release(0, 0);
    EXPECT_EQ(Got(Place(100, 100, 40, 20)), "M 90 95 L 130 95 L 130 115 Z");
    EXPECT_EQ(FrameAndTransform(), (std::vector<double>{90, 95, 130, 115, 1, 0, 0, 1, 0, 0}));
}

// Shift is read at each move, and each tool constrains the point from the press at
// (100, 100). Line: horizontal when 2|dy| < |dx|, diagonal of either sign (also when
// 2|dy| == |dx|), vertical when |dy| > 2|dx|, the raw point once Shift is let go.
// Rectangle: a square of side max(|dx|, |dy|), a coordinate equal to the start's going the
// negative way; a trace line for each move handled with Shift, none for a duplicate or a
// move without Shift. Template: the longer side wins.
TEST_F(CustomFigures, ShiftConstraintsOfTheDraggingTools) {
    REQUIRE_HELD_KEYS();
    // Each row: the tool, its moves, the one made without Shift, the calls shown, the trace.
    const struct {
        IVXFigures* (*create)();
        std::vector<std::pair<int, int>> moves;
        size_t unshifted;
        const char* call;
        Lines shown, trace;
        const char* written;
    } cases[] = {
        {CreateLineTool,
         {{130, 112}, {110, 108}, {90, 108}, {110, 105}, {105, 111}, {95, 130}},
         5,
         "LineTo",
         {"LineTo 130 100", "LineTo 110 110", "LineTo 90 110", "LineTo 110 110", "LineTo 100 111", "LineTo 95 130"},
         {},
         "M 100 100 L 95 130"},
        {CreateRectangleTool,
         {{130, 88}, {130, 88}, {100, 120}, {104, 90}, {70, 95}},
         3,
         "Rectangle",
         {"Rectangle 100 100 30 -30", "Rectangle 100 100 -20 20", "Rectangle 100 100 4 -10",
          "Rectangle 100 100 -30 -30"},
         {"w=30, ptOrg.x=100, ptOrg.y=100, xScr=130, yScr=70\n", "w=20, ptOrg.x=100, ptOrg.y=100, xScr=80, yScr=120\n",
          "w=30, ptOrg.x=100, ptOrg.y=100, xScr=70, yScr=70\n"},
         "M 100 100 L 70 100 L 70 70 L 100 70 Z"},
        {CreateCustomFiguresTool,
         {{130, 88}, {112, 130}},
         2,
         "ShowOverlay",
         {"ShowOverlay 7 100 70 130 100", "ShowOverlay 7 100 70 130 130"},
         {},
         "M 100 100 L 130 100 L 130 130 Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        events.debugOutput.clear();
        for (size_t i = 0; i < c.moves.size(); ++i)
            events.Drag(c.moves[i].first, c.moves[i].second, i == c.unshifted ? kNoKeys : kShift);
        events.Release(0, 0);
        EXPECT_EQ(Got(DrawWith(c.create, 100, 100)), c.written);
        EXPECT_EQ(log.Only({c.call}), c.shown);
        EXPECT_EQ(events.debugOutput, c.trace);
    }
}

}  // namespace
}  // namespace vx::test
