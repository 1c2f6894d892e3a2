// Tracking loops through the canvas played as scripted window messages: what cancels them,
// and what they dispatch. Whole drawing sessions are replayed from tests/data/replay.
#include "agents_fixture.h"
#include "editor_fixture.h"

namespace vx::test {
namespace {

constexpr const char* kRect = "M 10 10 L 110 10 L 110 70 L 10 70 Z";

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
    // A press off the grid is truncated for this test, and kept whole for the edit.
    events.Drag(60, 40).Release(60, 40);
    log.Clear();
    Press(60.5, 40.5);
    EXPECT_EQ(log.Only({"BeginChange", "AcceptTrackPoint"}), Lines{});

    // A host that freezes the track point freezes the feedback too: nothing to commit.
    host.acceptTrackPoint = 0;
    events.Drag(70, 50).Release(70, 50);
    log.Clear();
    Press(60, 40);
    EXPECT_EQ(log.Only({"RestoreOverlay", "BeginChange"}), Lines{});
    host.acceptTrackPoint = 1;
    events.Drag(70, 45).Release(90, 90);
    Press(60.5, 40.5);
    ExpectNear(TransformOf(p), V{1, 0, 0, 1, 9.5, 4.5}, 1e-4);
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
}

}  // namespace
}  // namespace vx::test
