// Whole drawing sessions through the canvas: a tool gesture, then moves, rotations, scaling,
// node and reference drags, rubber bands and cancels, played as scripted window messages.
// Each step checks the host's calls and the paths that result.
#include <algorithm>

#include "agents_fixture.h"
#include "editor_fixture.h"
#include "support/golden.h"

namespace vx::test {
namespace {

constexpr const char* kRect = "M 10 10 L 110 10 L 110 70 L 10 70 Z";

// The calls that tell what a tracking loop did, without the feedback drawing.
Lines Protocol(const CallLog& log) {
    return log.Only({"SetFeedback", "AcceptTrackPoint", "RestoreOverlay", "ShowOverlay", "DropOverlay", "Refresh",
                     "BeginOverlay", "EndOverlay", "BeginTracking", "EndTracking", "SaveOverlay", "BeginChange",
                     "ApprovePathChange", "PathChanged", "EndChange", "BeginSelectionChange", "EndSelectionChange"});
}

TEST_F(CanvasTest, SessionDrawMoveRotateAndRubberBand) {
    // A rectangle drawn with the tool is added with consent and becomes the selection.
    canvas->SetCurrentTool(VXTEXT("Rectangle"));
    events.Drag(110, 70).Release(110, 70);
    Press(10, 10);
    ASSERT_EQ(canvas->GetPathCount(), 1);
    IVXPath* r = canvas->GetPath(0);
    log.Name(r, "r");
    EXPECT_EQ(PathText(r), kRect);
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{r});
    EXPECT_EQ(Lines(log.lines.end() - 6, log.lines.end()),
              (Lines{"BeginChange", "ApprovePathAdd ?", "EndChange", "BeginSelectionChange", "EndSelectionChange",
                     "Refresh 0 0 0 0"}));

    // Move by the centre handle: the copies follow each new position; one change on release.
    canvas->SetCurrentTool(nullptr);
    canvas->SetEditMode(0);
    canvas->MouseMove(60, 40);
    events.Drag(60, 40).Drag(65, 40).Drag(70, 45).Release(90, 90);
    log.Clear();
    Press(60.5, 40.5);  // truncated to (60, 40) for "no movement", kept whole for the edit
    EXPECT_TRUE(MatchesGolden(Protocol(log), "session_SessionDrawMoveRotateAndRubberBand_1"));
    ExpectNear(TransformOf(r), V{1, 0, 0, 1, 9.5, 4.5}, 1e-4);

    // Rotate by the ring of the top-right handle, a quarter turn about the box's centre.
    const PathTransform moved{1, 0, 0, 1, 10, 5};  // box (20, 15)-(120, 75), centre (70, 45)
    r->SetTransform(&moved.a);
    canvas->MouseMove(126, 15);
    events.Drag(100, 101).Release(100, 101);
    log.Clear();
    Press(126, 15);
    EXPECT_EQ(log.Only({"SetFeedback"}), (Lines{"SetFeedback 0 r 10 0 1 0", "SetFeedback 0 r 10 1 1 0"}));
    EXPECT_EQ(log.Only({"PathChanged"}), Lines{"PathChanged r 2"});
    ExpectNear(TransformOf(r), V{0, 1, -1, 0, 110, -15}, 1e-4);
    double x[4], y[4];
    r->GetCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
    EXPECT_NEAR(x[0], 100, 1e-4);  // path (10, 10) turned about (70, 45)
    EXPECT_NEAR(y[0], -5, 1e-4);

    // A rubber band from empty canvas selects what lies wholly inside it.
    IVXPath* q = Add("M 150 150 L 200 150", "q");
    canvas->MouseMove(140, 140);
    events.Drag(210, 160).Release(210, 160);
    log.Clear();
    Press(140, 140);
    EXPECT_TRUE(MatchesGolden(log.lines, "session_SessionDrawMoveRotateAndRubberBand_2"));
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{q});

    // A band released where it started clears the selection; with nothing selected before,
    // no refresh follows.
    for (bool wasSelected : {true, false}) {
        events.Release(140, 140);
        log.Clear();
        Press(140, 140);
        EXPECT_EQ(Selected(), std::vector<IVXPath*>{});
        EXPECT_EQ(log.lines.back(), wasSelected ? "Refresh 0 0 0 0" : "EndTracking");
    }
}

TEST_F(CanvasTest, CancelsRefusalsAndStillPressesChangeNothing) {
    IVXPath* p = Add(kRect, "p");
    Select({p});
    canvas->SetEditMode(0);
    canvas->MouseMove(60, 40);
    // Escape, Alt, a right button, a lost capture or deactivation end the loop; what follows
    // stays queued.
    struct Cancel {
        uint32_t message;
        uintptr_t wParam;
    };
    const Cancel cancels[] = {{VX_WM_KEYDOWN, VX_KEY_ESCAPE}, {VX_WM_SYSKEYDOWN, VX_KEY_ALT}, {VX_WM_RBUTTONDOWN, 0},
                              {VX_WM_RBUTTONUP, 0},           {VX_WM_CAPTURECHANGED, 0},      {VX_WM_ACTIVATE, 0},
                              {VX_WM_ACTIVATEAPP, 0}};
    for (Cancel c : cancels) {
        // A key that is not Esc and an activation do not cancel.
        events.Drag(70, 50).Post(VX_WM_KEYDOWN, 'A', 1).Post(VX_WM_ACTIVATE, 1, 0).Post(c.message, c.wParam, 0);
        events.Release(70, 50);
        log.Clear();
        Press(60, 40);
        EXPECT_EQ(log.Only({"BeginChange", "ApprovePathChange"}), Lines{}) << c.message;
        EXPECT_EQ(log.lines.back(), "EndTracking") << c.message;
        EXPECT_EQ(events.Leftover(), 1u) << c.message;
    }
    ExpectNear(TransformOf(p), V{1, 0, 0, 1, 0, 0}, 1e-4);
    // A quit cancels too, and is left for the host's own loop.
    events.Drag(70, 50).Quit(5);
    Press(60, 40);
    EXPECT_EQ(events.Leftover(), 0u);
    EXPECT_EQ(events.quitLeft, 5);

    // Pressed and released without a move: nothing was computed, so the host is not asked.
    events.Drag(60, 40).Release(60, 40);
    log.Clear();
    Press(60, 40);
    EXPECT_EQ(log.Only({"BeginChange", "AcceptTrackPoint"}), Lines{});

    // A host that freezes the track point freezes the feedback too: nothing to commit.
    host.acceptTrackPoint = 0;
    events.Drag(70, 50).Release(70, 50);
    log.Clear();
    Press(60, 40);
    EXPECT_EQ(log.Only({"RestoreOverlay", "BeginChange"}), Lines{});
}

TEST_F(CanvasTest, KeyUpReachesTheWindowOnlyDuringNodeTracking) {
    IVXPath* p = Add(kRect, "p");
    for (int32_t mode : {1, 0}) {
        canvas->SetEditMode(mode);
        Select({p});
        canvas->MouseMove(10, 10);  // a node in node mode, the top-left handle in object mode
        events.dispatched.clear();
        events.KeyUp(VX_KEY_CONTROL).Release(10, 10);
        Press(10, 10);
        EXPECT_EQ(events.dispatched.size(), mode == 1 ? 1u : 0u) << mode;
        canvas->MouseMove(300, 300);  // empty canvas: the band swallows key-ups too
        events.dispatched.clear();
        events.KeyUp(VX_KEY_CONTROL).Release(300, 300);
        Press(300, 300);
        EXPECT_EQ(events.dispatched.size(), 0u);
    }
    // Node tracking on anything but a node or a control point does nothing at all.
    canvas->SetEditMode(1);
    canvas->MouseMove(60, 11);  // the outline: code 17
    Select({p});
    log.Clear();
    events.Drag(70, 20).Release(70, 20);
    Press(60, 11);
    EXPECT_EQ(log.Only({"SetFeedback", "BeginTracking", "BeginChange"}), Lines{"SetFeedback 1 p 17 0 1 0"});
    EXPECT_EQ(events.Leftover(), 2u);
}

TEST_F(TemplateCanvasTest, ReferenceDragThenNodeEditOfATemplateFigure) {
    IVXPath* t = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "t");
    ASSERT_TRUE(canvas->ApplyTemplateText(t, VXTEXT("<Tab><(0.25,0)>"), false));
    Select({t});
    canvas->SetEditMode(0);
    log.Clear();
    canvas->MouseMove(125, 100);  // the reference handle
    // Past the upper limit first, then back inside it: the value is clamped, then follows.
    events.Drag(160, 130).Drag(110, 130).Release(110, 130);
    Press(125, 100);
    EXPECT_EQ(log.Only({"SetFeedback", "ApprovePathChange", "PathChanged"}),
              (Lines{"SetFeedback 0 t 18 0 1 0", "SetFeedback 0 t 18 0 1 0", "SetFeedback 0 t 18 1 1 0",
                     "ApprovePathChange t 3 1 0 0 1 0 0", "PathChanged t 3"}));
    // The press on a reference shows the selection first.
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "ShowOverlay 0 null"), 1);
    EXPECT_EQ(PathText(t), "M 110 100 L 190 100 L 200 200 L 100 200 Z");
    VXCHAR text[32];
    ASSERT_EQ(canvas->GetTemplateText(t, text, 32), 26);
    EXPECT_EQ(std::u16string(text, text + 26), u"<Tab><(0.100000,0.000000)>");

    // A node edit replaces the nodes and leaves a plain path.
    canvas->SetEditMode(1);
    canvas->MouseMove(200, 200);
    events.Drag(210, 204).Release(210, 204);
    log.Clear();
    Press(200, 200);
    EXPECT_TRUE(MatchesGolden(Protocol(log), "session_ReferenceDragThenNodeEditOfATemplateFigure_3"));
    EXPECT_EQ(PathText(t), "M 110 100 L 190 100 L 210 204 L 100 200 Z");
    EXPECT_EQ(canvas->GetTemplateText(t, nullptr, 0), 0);
}

TEST_F(CanvasTest, HeldKeysSquareTheBandScaleUniformlyAndDragNeighbours) {
    REQUIRE_HELD_KEYS();
    // Shift keeps the band square: a drag to (130, 110) selects within (100, 100)-(130, 130).
    IVXPath* low = Add("M 110 115 L 120 125", "low");
    Add("M 105 105 L 135 105", "wide");
    canvas->SetEditMode(0);
    canvas->MouseMove(100, 100);
    events.Drag(130, 110, kShift).Release(130, 110, kShift);
    log.Clear();
    Press(100, 100);
    EXPECT_EQ(log.Only({"Rectangle"}), Lines{"Rectangle 100 100 30 30"});
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{low});
    canvas->ClearPaths();

    // Shift makes the bottom-right handle scale uniformly by the smaller factor about the
    // opposite corner: 1.6 and 1.5 become 1.5.
    IVXPath* r = Add(kRect, "r");
    Select({r});
    canvas->MouseMove(110, 70);
    events.Drag(170, 100, kShift).Release(170, 100, kShift);
    log.Clear();
    Press(110, 70);
    EXPECT_EQ(log.Only({"SetFeedback", "ApprovePathChange"}),
              (Lines{"SetFeedback 0 r 7 0 1 0.7853981633974483", "SetFeedback 0 r 7 1 1 0.7853981633974483",
                     "SetFeedback 0 r 7 1 1 0.7853981633974483", "ApprovePathChange r 2 1.5 0 0 1.5 -5 -5"}));
    ExpectNear(TransformOf(r), V{1.5, 0, 0, 1.5, -5, -5}, 1e-4);

    // Control drags a cubic's end point with both neighbouring control points; the press
    // itself selects the path alone first.
    IVXPath* c = Add("M 10 200 C 20 180 40 180 50 200 C 60 220 80 220 90 200", "c");
    canvas->SetEditMode(1);
    canvas->MouseMove(50, 200);
    events.Drag(50, 210, kControl).Release(50, 210, kControl);
    log.Clear();
    Press(50, 200);
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{c});
    EXPECT_EQ(log.Only({"BeginSelectionChange", "ApprovePathChange"}),
              (Lines{"BeginSelectionChange", "ApprovePathChange c 3 1 0 0 1 0 0"}));
    EXPECT_EQ(PathText(c), "M 10 200 C 20 180 40 190 50 210 C 60 230 80 220 90 200");

    // Control going down or up makes the canvas look again under the cursor, which the
    // script's event source leaves at the origin.
    Add("M 0 0 L 40 0", "corner");
    log.Clear();
    canvas->KeyDown(VX_KEY_CONTROL, 0, 0);
    canvas->KeyUp(VX_KEY_CONTROL, 0, 0);
    EXPECT_EQ(log.lines, (Lines{"SetFeedback 1 corner 15 0 0 0", "SetFeedback 1 corner 15 0 0 0"}));
}

}  // namespace
}  // namespace vx::test
