// Hosts that call back into the canvas from inside its calls: from a callback of the host or
// its surface, or from the window procedure of a message that a loop dispatches (a real
// window under Wine). Paths leave, the mouse state moves, the canvas is destroyed; every
// case must end defined, without a stray read, a call after the destruction or a leak.
#include "editor_fixture.h"
#include "tools/tools.h"

namespace vx::test {
namespace {

class ReentryTest : public TemplateCanvasTest {
protected:
    // A fresh canvas that knows the test templates, holding p (a rectangle), q (a line) and
    // the template figure t, with the `selected` ones ("pq") selected; the mouse hovers
    // (x, y), and the script drags by (10, 10), dispatches a message of the host's own,
    // drags by (20, 20) and releases.
    void Stage(const char* selected, int32_t mode, const VXCHAR* tool, double x, double y) {
        Renew();
        log.names.clear();  // a new path may take the place of one gone
        p = Add("M 10 10 L 110 10 L 110 70 L 10 70 Z", "p");
        q = Add("M 200 10 L 300 10", "q");
        t = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "t");
        ASSERT_TRUE(canvas->ApplyTemplateText(t, VXTEXT("<Tab><(0.25,0)>"), false));
        for (const char* n = selected; *n; ++n) canvas->GetSelections()->Add(*n == 'p' ? p : *n == 'q' ? q : t);
        canvas->SetEditMode(mode);
        canvas->SetCurrentTool(tool);
        canvas->MouseMove(x, y);
        events.Drag(x + 10, y + 10).Post(0x8001, 0, 0).Drag(x + 20, y + 20).Release(x + 20, y + 20);
        log.Clear();
    }
    std::function<void()> PressAt(double x, double y) {
        return [this, x, y] { Press(x, y); };
    }
    std::function<void()> Place(const VXCHAR* tool) {
        return [this, tool] { events.Play(), canvas->PlaceFigure(40, 20, tool); };
    }

    IVXPath *p = nullptr, *q = nullptr, *t = nullptr;
};

TEST_F(ReentryTest, PressesKeepTheirHoverStateAndEndWhenTheirPathsLeave) {
    auto replaceTool = [this] {  // the registry's reference on the tool found goes
        IVXFigures* other = CreateRectangleTool();
        canvas->RegisterTool(canvas->GetCurrentToolName(), other);
        other->Release();
    };
    auto leave = [this](IVXPath** path, bool ask) {  // and is given up
        return [this, path, ask] { ask ? canvas->RemovePath(*path) : canvas->DetachPath(*path), (*path)->Release(); };
    };
    auto hoverAway = [this] { canvas->MouseMove(500, 500); };
    const VXCHAR* line = VXTEXT("Line");
    const Lines drawn = {"BeginTracking", "ApprovePathAdd ?"};
    const Lines moved = {"BeginTracking", "ApprovePathChange p 2 1 0 0 1 20 20", "PathChanged p 2"};
    const Lines reshaped = {"BeginTracking", "ApprovePathChange p 3 1 0 0 1 0 0", "PathChanged p 3"};
    struct Case {
        const char* selected;
        int32_t mode;
        const VXCHAR* tool;
        double x, y;
        std::function<void()> call;
        std::string at;
        std::function<void()> act;
        Lines edit;  // the loop's start and the host's approvals
        size_t leftover;
    };
    const Case cases[] = {
        // The tool found is replaced before its gesture starts: it still draws its line.
        {"", 1, line, 300, 300, PressAt(300, 300), "SetFeedback", replaceTool, drawn, 0},
        {"", 1, line, 300, 300, Place(line), "SetFeedback", replaceTool, drawn, 0},
        // The mouse state moves over empty space inside the press: p is still moved.
        {"", 0, nullptr, 60, 10, PressAt(60, 10), "EndSelectionChange", hoverAway, moved, 0},
        {"", 1, nullptr, 10, 10, PressAt(10, 10), "SetFeedback", hoverAway, reshaped, 0},
        // The pressed path leaves (and is given up) before a loop starts: none starts; a
        // reference handle's figure leaves: the other selected path is not dragged instead.
        {"", 0, nullptr, 60, 10, PressAt(60, 10), "SetFeedback", leave(&p, false), {}, 4},
        {"", 1, nullptr, 10, 10, PressAt(10, 10), "EndSelectionChange", leave(&p, false), {}, 4},
        {"tq", 0, nullptr, 125, 100, PressAt(125, 100), "SetFeedback", leave(&t, false), {}, 4},
        // The edited path leaves while the loop runs: a cancel at the next message.
        {"p", 0, nullptr, 60, 40, PressAt(60, 40), "dispatch", leave(&p, true), {"BeginTracking"}, 2},
        {"p", 1, nullptr, 10, 10, PressAt(10, 10), "dispatch", [this] { canvas->ClearPaths(); }, {"BeginTracking"}, 2},
        // Another edited path leaves while the first one's change is told: it is not offered.
        {"pq", 0, nullptr, 60, 40, PressAt(60, 40), "PathChanged p", leave(&q, true), moved, 0},
        // The library is emptied once a template figure's gesture has begun: it draws from its
        // own copy. Last, as the cases above need the template.
        {"", 1, VXTEXT("Tab"), 300, 300, PressAt(300, 300), "BeginTracking", [] { VX_Release(); }, drawn, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        Stage(c.selected, c.mode, c.tool, c.x, c.y);
        During(c.at, c.act);
        c.call();
        EXPECT_EQ(log.Only({"BeginTracking", "ApprovePathAdd", "ApprovePathChange", "PathChanged"}), c.edit);
        EXPECT_EQ(events.Leftover(), c.leftover);
    }
}

TEST_F(ReentryTest, ACanvasDestroyedInsideACallGoesWhenTheCallReturns) {
    struct Case {
        const VXCHAR* tool;
        int32_t mode;
        double x, y;
        std::function<void()> call;
        std::string at;
        size_t leftover;  // the loop ends at its next retrieval, as a cancel
    };
    const Case cases[] = {
        {VXTEXT("Line"), 1, 300, 300, PressAt(300, 300), "dispatch", 2},
        {VXTEXT("Rectangle"), 1, 300, 300, PressAt(300, 300), "AcceptTrackPoint", 3},
        {VXTEXT("Polygon"), 1, 300, 300, PressAt(300, 300), "RestoreOverlay", 3},
        {VXTEXT("Bezier"), 1, 300, 300, PressAt(300, 300), "BeginPath", 3},
        {VXTEXT("Free Hand"), 1, 300, 300, PressAt(300, 300), "ShowOverlay", 3},
        {VXTEXT("Tab"), 1, 300, 300, PressAt(300, 300), "GetRotation", 4},
        {VXTEXT("Rectangle"), 1, 300, 300, Place(VXTEXT("Rectangle")), "AcceptTrackPoint", 3},
        {nullptr, 0, 60, 40, PressAt(60, 40), "SetFeedback", 4},
        {nullptr, 0, 60, 40, PressAt(60, 40), "dispatch", 2},
        {nullptr, 0, 60, 40, PressAt(60, 40), "ApprovePathChange", 0},
        {nullptr, 1, 10, 10, PressAt(10, 10), "AcceptTrackPoint", 3},
        {nullptr, 0, 300, 300, PressAt(300, 300), "BeginSelectionChange", 0},
        {nullptr, 0, 60, 40, [this] { canvas->ClickHovered(0, 0); }, "SetFeedback", 4},
        {nullptr, 0, 60, 40, [this] { canvas->DrawSelection(&surface, 1, 1); }, "SetColor", 4},
        {nullptr, 0, 60, 40, [this] { canvas->ApplyTemplateText(t, VXTEXT("<Tab><(0.1,0)>"), true); },
         "ApprovePathChange", 4},
        // Approved before the destruction: the list's reference passes to the caller.
        {nullptr, 0, 60, 40, [this] { canvas->RemovePath(p), p->Release(); }, "ApprovePathRemove", 4},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        Stage("p", c.mode, c.tool, c.x, c.y);
        During(c.at, [this] { DestroyCanvas(); });
        c.call();
        ASSERT_EQ(canvas, nullptr) << "the host never got " << c.at;
        EXPECT_EQ(Lines(log.lines.begin() + long(linesAtDestroy), log.lines.end()), Lines{});
        EXPECT_EQ(events.Leftover(), c.leftover);
    }
}

TEST_F(CanvasTest, ReentryHitTestWhileToScreenChangesTheCanvas) {
    host.logMapping = true;
    IVXPath *a = nullptr, *b = nullptr, *c = nullptr;  // c, the top path, is asked first
    auto Translate = [](IVXPath* p, double e, double f) {
        const double m[6] = {1, 0, 0, 1, e, f};
        p->SetTransform(m);
    };
    auto grow = [&] {
        for (int i = 0; i < 64; ++i) c->AddNode(VX_NODE_LINE, 100, 101 + i, 0, 0, 0, 0);
    };
    struct Case {
        std::string at;
        std::function<void()> act;
        double y;
        int32_t code;
        const char* found;
    };
    const Case cases[] = {
        {"ToScreen", [&] { canvas->ClearPaths(); }, 50, 0, "null"},
        // The path being asked leaves and is given up: the walk goes on below it.
        {"ToScreen", [&] { canvas->RemovePath(c), c->Release(); }, 50, 17, "b"},
        // The path being asked grows inside its own walk, so its nodes move in memory.
        {"ToScreen 0 100", grow, 100, 17, "c"},
        {"ToScreen", [&] { DestroyCanvas(); }, 50, 0, "null"},
        // Paths below move while the top one is asked: they are found where they are now.
        {"ToScreen", [&] { Translate(b, 0, 1000), Translate(a, 0, 50); }, 50, 17, "a"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        Renew();
        a = Add("M 0 0 L 100 0", "a");
        b = Add("M 0 50 L 100 50", "b");
        c = Add("M 0 100 L 100 100", "c");
        log.Clear();
        During(cases[i].at, cases[i].act);
        IVXPath* found = a;
        IGraphicCanvasEx* asked = canvas;
        EXPECT_EQ(asked->HitTest(50, cases[i].y, 0, &found), cases[i].code);
        EXPECT_EQ(log.NameOf(found), cases[i].found);
        if (!canvas) {
            EXPECT_EQ(Lines(log.lines.begin() + long(linesAtDestroy), log.lines.end()), Lines{});
        }
    }
}

}  // namespace
}  // namespace vx::test
