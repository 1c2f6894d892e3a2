// Hosts that call back into the canvas from inside its calls: from a callback of the host or
// its surface, or from the window procedure of a message that a loop dispatches (a real
// window under Wine). Paths leave, the mouse state moves, the canvas is destroyed; every
// case must end defined, without a stray read, a call after the destruction or a leak.
#include "editor_fixture.h"
#include "tools/tools.h"

namespace vx::test {
namespace {

constexpr const char* kRect = "M 10 10 L 110 10 L 110 70 L 10 70 Z";
constexpr uint32_t kAppMessage = 0x8001;  // dispatched by every loop

// Paths p (kRect), q and the template figure t, with the given ones selected.
struct Scene {
    IVXPath *p, *q, *t;
};

TEST_F(CanvasTest, ReentryPressesKeepTheirHoverStateAndEndWhenTheirPathsLeave) {
    TestTemplates templates;
    VX_DestroyGraphicCanvas(canvas);
    canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
    Scene s{};
    auto replaceTool = [&] {  // the registry's reference on the tool found goes
        IVXFigures* other = CreateRectangleTool();
        canvas->RegisterTool(canvas->GetCurrentToolName(), other);
        other->Release();
    };
    struct Case {
        int32_t mode;
        double x, y;  // hovered and pressed; the script drags by (10, 10) and (20, 20)
        const char* selected;
        std::string at;
        std::function<void()> act;
        Lines edit;  // the loop's start and the host's approvals
        size_t leftover;
        const VXCHAR* tool = nullptr;
        bool place = false;  // PlaceFigure instead of a press
    };
    const Case cases[] = {
        // The tool found is replaced before its gesture starts: it still draws its line.
        {1, 300, 300, "", "SetFeedback", replaceTool, {"BeginTracking", "ApprovePathAdd ?"}, 0, VXTEXT("Line")},
        {1, 300, 300, "", "SetFeedback", replaceTool, {"BeginTracking", "ApprovePathAdd ?"}, 0, VXTEXT("Line"), true},
        // The mouse state moves over empty space inside the press: p is still moved.
        {0, 60, 10, "", "EndSelectionChange", [&] { canvas->MouseMove(500, 500); },
         {"BeginTracking", "ApprovePathChange p 2 1 0 0 1 20 20", "PathChanged p 2"}, 0},
        {1, 10, 10, "", "SetFeedback", [&] { canvas->MouseMove(500, 500); },
         {"BeginTracking", "ApprovePathChange p 3 1 0 0 1 0 0", "PathChanged p 3"}, 0},
        // The pressed path leaves (and is given up) before a loop starts: none starts.
        {0, 60, 10, "", "SetFeedback", [&] { canvas->DetachPath(s.p), s.p->Release(); }, {}, 4},
        {1, 10, 10, "", "EndSelectionChange", [&] { canvas->DetachPath(s.p), s.p->Release(); }, {}, 4},
        // A reference handle whose figure leaves: the other selected path is not dragged.
        {0, 125, 100, "tq", "SetFeedback", [&] { canvas->DetachPath(s.t), s.t->Release(); }, {}, 4},
        // The edited path leaves while the loop runs: a cancel at the next message.
        {0, 60, 40, "p", "dispatch", [&] { canvas->RemovePath(s.p), s.p->Release(); }, {"BeginTracking"}, 2},
        {1, 10, 10, "p", "dispatch", [&] { canvas->ClearPaths(); }, {"BeginTracking"}, 2},
        // Another edited path leaves while the first one's change is told: it is not offered.
        {0, 60, 40, "pq", "PathChanged p", [&] { canvas->RemovePath(s.q), s.q->Release(); },
         {"BeginTracking", "ApprovePathChange p 2 1 0 0 1 20 20", "PathChanged p 2"}, 0},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        canvas->ClearPaths();
        s.p = Add(kRect, "p");
        s.q = Add("M 200 10 L 300 10", "q");
        s.t = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "t");
        ASSERT_TRUE(canvas->ApplyTemplateText(s.t, VXTEXT("<Tab><(0.25,0)>"), false));
        canvas->GetSelections()->Clear();
        for (const char* n = c.selected; *n; ++n) canvas->GetSelections()->Add(*n == 'p' ? s.p : *n == 'q' ? s.q : s.t);
        canvas->SetEditMode(c.mode);
        canvas->SetCurrentTool(c.tool);
        canvas->MouseMove(c.x, c.y);
        events.Drag(c.x + 10, c.y + 10).Post(kAppMessage, 0, 0).Drag(c.x + 20, c.y + 20).Release(c.x + 20, c.y + 20);
        log.Clear();
        During(c.at, c.act);
        if (c.place) {
            events.Play();
            canvas->PlaceFigure(40, 0, VXTEXT("Line"));
        } else {
            Press(c.x, c.y);
        }
        EXPECT_EQ(log.Only({"BeginTracking", "ApprovePathAdd", "ApprovePathChange", "PathChanged"}), c.edit);
        EXPECT_EQ(events.Leftover(), c.leftover);
    }
}

TEST_F(CanvasTest, ReentryHitTestWhileToScreenChangesTheCanvas) {
    host.logMapping = true;
    IVXPath *a = nullptr, *b = nullptr, *c = nullptr;
    struct Case {
        std::string at;  // c, the top path, is asked first
        std::function<void()> act;
        double y;
        int32_t code;
        const char* found;
    };
    const Case cases[] = {
        {"ToScreen", [&] { canvas->ClearPaths(); }, 50, 0, "null"},
        // The path being asked leaves and is given up: the walk goes on below it.
        {"ToScreen", [&] { canvas->RemovePath(c), c->Release(); }, 50, 17, "b"},
        // A path below leaves: it is not found.
        {"ToScreen", [&] { canvas->DetachPath(b), b->Release(); }, 50, 0, "null"},
        // The path being asked grows inside its own walk, so its nodes move in memory.
        {"ToScreen 0 100", [&] { for (int i = 0; i < 64; ++i) c->AddNode(VX_NODE_LINE, 100, 101 + i, 0, 0, 0, 0); },
         100, 17, "c"},
        {"ToScreen", [&] { DestroyCanvas(); }, 50, 0, "null"},
    };
    int index = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(index++);
        if (!canvas) canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
        canvas->ClearPaths();
        a = Add("M 0 0 L 100 0", "a");
        b = Add("M 0 50 L 100 50", "b");
        c = Add("M 0 100 L 100 100", "c");
        log.Clear();
        During(k.at, k.act);
        IVXPath* found = a;
        IGraphicCanvasEx* asked = canvas;
        EXPECT_EQ(asked->HitTest(50, k.y, 0, &found), k.code);
        EXPECT_EQ(log.NameOf(found), k.found);
        if (!canvas) {
            EXPECT_EQ(Lines(log.lines.begin() + long(linesAtDestroy), log.lines.end()), Lines{});
        }
    }
}

TEST_F(CanvasTest, ReentryACanvasDestroyedInsideACallGoesWhenTheCallReturns) {
    TestTemplates templates;
    Scene s{};
    auto press = [this](double x, double y) { return [this, x, y] { Press(x, y); }; };
    struct Case {
        const VXCHAR* tool;
        int32_t mode;
        double x, y;  // hovered; the script drags from here by (10, 10) and (20, 20)
        std::string at;
        std::function<void()> call;
        size_t leftover;  // the loop ends at its next retrieval, as a cancel
    };
    const Case cases[] = {
        {VXTEXT("Line"), 1, 300, 300, "dispatch", press(300, 300), 2},
        {VXTEXT("Rectangle"), 1, 300, 300, "AcceptTrackPoint", press(300, 300), 3},
        {VXTEXT("Polygon"), 1, 300, 300, "RestoreOverlay", press(300, 300), 3},
        {VXTEXT("Bezier"), 1, 300, 300, "BeginPath", press(300, 300), 3},
        {VXTEXT("Free Hand"), 1, 300, 300, "ShowOverlay", press(300, 300), 3},
        {VXTEXT("Tab"), 1, 300, 300, "GetRotation", press(300, 300), 4},
        {VXTEXT("Rectangle"), 1, 300, 300, "AcceptTrackPoint",
         [&] { events.Play(), canvas->PlaceFigure(40, 20, VXTEXT("Rectangle")); }, 3},
        {nullptr, 0, 60, 40, "SetFeedback", press(60, 40), 4},
        {nullptr, 0, 60, 40, "dispatch", press(60, 40), 2},
        {nullptr, 0, 60, 40, "ApprovePathChange", press(60, 40), 0},
        {nullptr, 1, 10, 10, "AcceptTrackPoint", press(10, 10), 3},
        {nullptr, 0, 300, 300, "BeginSelectionChange", press(300, 300), 0},
        // Calls without a loop.
        {nullptr, 0, 60, 40, "SetFeedback", [&] { canvas->ClickHovered(0, 0); }, 4},
        {nullptr, 0, 60, 40, "SetColor", [&] { canvas->DrawSelection(&surface, 1, 1); }, 4},
        // Approved before the destruction: the list's reference passes to the caller.
        {nullptr, 0, 60, 40, "ApprovePathRemove", [&] {
             canvas->RemovePath(s.p);
             EXPECT_EQ(s.p->Release(), 0);
         }, 4},
        {nullptr, 0, 60, 40, "ApprovePathChange",
         [&] { canvas->ApplyTemplateText(s.t, VXTEXT("<Tab><(0.1,0)>"), true); }, 4},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        if (canvas) VX_DestroyGraphicCanvas(canvas);  // the first one knows no templates
        canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
        s.p = Add(kRect, "p");
        s.t = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "t");
        ASSERT_TRUE(canvas->ApplyTemplateText(s.t, VXTEXT("<Tab><(0.25,0)>"), false));
        Select({s.p});
        canvas->SetCurrentTool(c.tool);
        canvas->SetEditMode(c.mode);
        canvas->MouseMove(c.x, c.y);
        events.Drag(c.x + 10, c.y + 10).Post(kAppMessage, 0, 0).Drag(c.x + 20, c.y + 20).Release(c.x + 20, c.y + 20);
        log.Clear();
        During(c.at, [this] { DestroyCanvas(); });
        c.call();
        ASSERT_EQ(canvas, nullptr) << "the host never got " << c.at;
        EXPECT_EQ(Lines(log.lines.begin() + long(linesAtDestroy), log.lines.end()), Lines{});
        EXPECT_EQ(events.Leftover(), c.leftover);
    }
}

}  // namespace
}  // namespace vx::test
