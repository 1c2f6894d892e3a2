// The canvas editor's operations outside the tracking loops: tool registry, path list and
// its references, hit test and feedback, clicks, template texts, teardown, and the table.
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "editor_fixture.h"

#if defined(_WIN32) && defined(__i386__)
#define MEMBER_CALL __thiscall
#else
#define MEMBER_CALL
#endif

namespace vx::test {
namespace {

std::u16string Units(const VXCHAR* text, size_t n) { return std::u16string(text, text + n); }

// A tool that counts its references and draws nothing.
struct CountedTool : IVXFigures {
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override { return --refs; }
    FigureInfo* GetInfo(const VXCHAR*) override { return info ? &record : nullptr; }
    bool Draw(const VXCHAR*, double, double, ICanvasHost*, IGraphicCanvas*, IVXPath* path) override {
        AddPathText(path, "M 0 0 L 5 5");
        return true;
    }
    bool Place(const VXCHAR*, double, double, double, double, ICanvasHost*, IGraphicCanvas*, IVXPath*) override {
        return false;
    }
    int32_t refs = 1;
    bool info = true;
    FigureInfo record{nullptr, nullptr, nullptr};
};

TEST_F(CanvasTest, ToolRegistryNamesInfosAndReferences) {
    // Five built-in tools in ordinal order, each name and the list zero-terminated.
    VXCHAR names[64];
    std::fill(std::begin(names), std::end(names), VXCHAR('#'));
    EXPECT_EQ(canvas->GetToolNames(nullptr), 41);
    EXPECT_EQ(canvas->GetToolNames(names), 41);
    EXPECT_EQ(Units(names, 42), std::u16string(u"Bezier\0Free Hand\0Line\0Polygon\0Rectangle\0\0#", 42));
    EXPECT_EQ(canvas->GetToolInfos(nullptr, 3), 5);
    FigureInfo infos[2];
    EXPECT_EQ(canvas->GetToolInfos(infos, 2), 0);
    EXPECT_EQ(text::ToUtf8(infos[1].name), "Free Hand");
    EXPECT_EQ(canvas->GetToolInfos(infos, -1), 5);

    // Null or empty clears the current tool.
    EXPECT_TRUE(canvas->SetCurrentTool(VXTEXT("Line")));
    EXPECT_TRUE(canvas->SetCurrentTool(nullptr));
    EXPECT_EQ(canvas->GetCurrentToolName()[0], 0);

    // One tool under two names holds two references; taking a name over releases one;
    // a tool without info gives three null pointers; teardown releases once per name.
    CountedTool a, b;
    a.info = false;
    canvas->RegisterTool(VXTEXT("Zeta"), &a);
    canvas->RegisterTool(VXTEXT("Line"), &a);
    canvas->RegisterTool(VXTEXT("Zeta"), &b);
    canvas->RegisterTool(VXTEXT("Rect"), &b);  // a prefix of "Rectangle" sorts first
    EXPECT_EQ(a.refs, 2);
    EXPECT_EQ(b.refs, 3);
    EXPECT_EQ(canvas->GetToolNames(names), 51);
    EXPECT_EQ(Units(names, 51), std::u16string(u"Bezier\0Free Hand\0Line\0Polygon\0Rect\0Rectangle\0Zeta\0\0", 51));
    FigureInfo all[7];
    std::memset(all, 0xAB, sizeof all);
    EXPECT_EQ(canvas->GetToolInfos(all, 7), 0);
    EXPECT_EQ(all[2].name, nullptr);  // "Line" is now a
    EXPECT_EQ(all[2].icon, nullptr);
    VX_DestroyGraphicCanvas(canvas);
    canvas = nullptr;
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(b.refs, 1);
}

TEST_F(CanvasTest, PathListReferencesRemovalClearAndTeardown) {
    CountedObject owner(&log, "owner");
    IVXPath* p = Add("M 0 0 L 10 0", "p");
    IVXPath* q = Add("M 0 5 L 10 5", "q");
    p->SetUserObject(&owner);
    canvas->AddPath(p);  // already listed: no second entry, no second reference
    EXPECT_EQ(canvas->GetPathCount(), 2);
    EXPECT_EQ(p->AddRef(), 2);
    EXPECT_EQ(p->Release(), 1);
    EXPECT_EQ(canvas->GetPath(1), q);

    // A refused removal still deselects; an approved one passes the reference to the caller.
    Select({p, q});
    host.approveRemove = 0;
    canvas->RemovePath(p);
    EXPECT_EQ(canvas->GetPathCount(), 2);
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{q});
    host.approveRemove = 1;
    canvas->RemovePath(q);
    EXPECT_EQ(canvas->GetPathCount(), 1);
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{});
    EXPECT_EQ(log.lines, (Lines{"ApprovePathRemove p", "ApprovePathRemove q"}));
    canvas->AddPath(q);  // back, with a reference of its own
    EXPECT_EQ(q->Release(), 1);
    canvas->DetachPath(q);  // the host is not asked
    canvas->AddPath(q);
    EXPECT_EQ(q->Release(), 1);

    // ClearPaths: a selection bracket only when something was selected.
    log.Clear();
    canvas->ClearPaths();
    EXPECT_EQ(log.lines, Lines{"Release owner 1"});  // p went with its last reference
    Add("M 0 0 L 1 1", "r");
    Select({canvas->GetPath(0)});
    canvas->ClearPaths();
    EXPECT_EQ(canvas->GetPathCount(), 0);
    EXPECT_EQ(log.lines, (Lines{"Release owner 1", "BeginSelectionChange", "EndSelectionChange"}));

    // Teardown releases every listed path once and tells the host nothing.
    CountedObject kept(&log, "kept");
    Add("M 0 0 L 1 1", "s")->SetUserObject(&kept);
    log.Clear();
    VX_DestroyGraphicCanvas(canvas);
    canvas = nullptr;
    EXPECT_EQ(log.lines, Lines{"Release kept 1"});
    EXPECT_EQ(kept.refs, 1);
}

TEST_F(CanvasTest, HitTestRemapsCodesByModeAndSelection) {
    IVXPath* box = Add("M 10 10 L 110 10 L 110 70 L 10 70 Z", "box");
    IVXPath* curve = Add("M 200 10 C 220 10 240 10 260 10", "curve");
    const std::map<std::string, std::vector<IVXPath*>> selections = {
        {"none", {}}, {"box", {box}}, {"both", {box, curve}}};
    std::ifstream table(std::string(OSTREL_TEST_DATA) + "/editor/hit_codes.txt");
    int line = 0, rows = 0;
    for (std::string text; std::getline(table, text);) {
        ++line;
        if (text.empty() || text[0] == '#') continue;
        SCOPED_TRACE("hit_codes.txt:" + std::to_string(line));
        std::istringstream row(text);
        std::string selected, mode, bar, name;
        double x, y;
        int32_t only, code;
        ASSERT_TRUE(row >> selected >> mode >> x >> y >> only >> bar >> code >> name && bar == "|");
        canvas->GetSelections()->Clear();
        for (IVXPath* p : selections.at(selected)) canvas->GetSelections()->Add(p);
        canvas->SetEditMode(mode == "node" ? 1 : 0);
        IVXPath* found = reinterpret_cast<IVXPath*>(1);
        EXPECT_EQ(canvas->HitTest(x, y, only, &found), code);
        EXPECT_EQ(log.NameOf(found), name);
        ++rows;
    }
    EXPECT_EQ(rows, 15);
    EXPECT_EQ(canvas->HitTest(60, 40, 0, nullptr), 1);  // the out pointer may be null
}

// A new canvas listing the same paths, with the same selection and mode, that has kept nothing.
IGraphicCanvas* FreshCopy(IGraphicCanvas* canvas, ICanvasHost* host) {
    IGraphicCanvas* fresh = VX_CreateGraphicCanvas(host);
    for (int32_t i = 0; i < canvas->GetPathCount(); ++i) fresh->AddPath(canvas->GetPath(i));
    IVXSelections* selections = canvas->GetSelections();
    for (int32_t i = 0; i < selections->GetCount(); ++i) fresh->GetSelections()->Add(selections->GetAt(i));
    fresh->SetEditMode(canvas->GetEditMode());
    return fresh;
}

// The calls a hover at (x, y) makes, after one over nothing so that no hovered path is asked first.
Lines Hover(IGraphicCanvas* canvas, CallLog& log, double x, double y) {
    canvas->MouseMove(-500, -500);
    log.Clear();
    canvas->MouseMove(x, y);
    return log.lines;
}

// The canvas answers hovers from the boxes it keeps beside its list. After each kind of
// change it must make the calls and give the answers of a new canvas listing the same paths,
// which has kept nothing yet: the same ToScreen points, the same feedback.
TEST_F(TemplateCanvasTest, KeptBoxesFollowEveryChangeOfPathsListSelectionAndParameters) {
    IVXPath* r = Add("M 10 10 L 110 10 L 110 70 L 10 70 Z", "r");
    IVXPath* f = Add("M 0 200 L 100 200", "f");  // flat: its box is the margin's
    IVXPath* t = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "t");
    auto move = [](IVXPath* p, double b, double e, double f) {
        const double m[6] = {1, b, -b, 1, e, f};
        p->SetTransform(m);
    };
    auto relist = [&](std::initializer_list<IVXPath*> order) {
        for (IVXPath* p : order) canvas->DetachPath(p);  // its reference passes to us
        for (IVXPath* p : order) canvas->AddPath(p), p->Release();
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"none", [] {}},
        {"node added", [&] { r->AddNode(VX_NODE_LINE, 300, 70, 0, 0, 0, 0); }},
        {"node written in place", [&] { CVXPath::FromInterface(r)->NodeAt(1)->x1 = 250; }},
        {"written again", [&] { CVXPath::FromInterface(r)->NodeAt(1)->x1 = 60; }},
        {"nodes replaced", [&] { f->ClearNodes(), AddPathText(f, "M 0 220 L 60 220"); }},
        {"margin set", [&] { VX_SetParameters(1, 12); }},
        {"margin written", [&] { g_parameters.FlatBoundsMargin = 1; }},
        {"mark size", [&] { VX_SetParameters(0, 20); }},
        {"copied", [&] { f->CopyFrom(t, 0); }},
        {"moved", [&] { move(t, 0, 20, -40); }},
        {"rotated", [&] { move(t, 0.5, 0, 0); }},
        // A template figure's box is its frame, whatever its nodes: dropping it shows them.
        {"template",
         [&] {
             canvas->ApplyTemplateText(t, VXTEXT("<Tab><(0.75,0)>"), false);
             t->AddNode(VX_NODE_LINE, 300, 200, 0, 0, 0, 0);
         }},
        {"template dropped", [&] { CVXPath::FromInterface(t)->AttachTemplate(nullptr); }},
        {"reordered", [&] { relist({r}); }},
        {"removed", [&] { relist({f}), canvas->RemovePath(f); }},
        {"added", [&] { canvas->AddPath(f), f->Release(); }},
        {"cleared and refilled",
         [&] {
             for (IVXPath* p : {r, f, t}) p->AddRef();
             canvas->ClearPaths();
             for (IVXPath* p : {t, r, f}) canvas->AddPath(p), p->Release();
         }},
        {"selected",
         [&] {
             Select({r, f});
         }},
        {"node mode", [&] { canvas->SetEditMode(1); }},
    };
    host.logMapping = true;
    for (const auto& [name, change] : changes) {
        change();
        IGraphicCanvas* fresh = FreshCopy(canvas, &host);
        for (double x : {-30.0, -12.0, 0.0, 10.0, 60.0, 110.0, 126.0, 127.0, 200.0, 250.0, 300.0})
            for (double y : {-12.0, 10.0, 40.0, 70.0, 87.0, 100.0, 196.0, 204.0, 212.0, 220.0})
                ASSERT_EQ(Hover(canvas, log, x, y), Hover(fresh, log, x, y)) << name << " at " << x << "," << y;
        VX_DestroyGraphicCanvas(fresh);
    }
}

TEST_F(TemplateCanvasTest, TemplateTextsRebuildInTheBoxAndAskWhenTold) {
    VXCHAR names[64];
    ASSERT_EQ(canvas->GetToolNames(names), 45);  // the template's name after the tools'
    EXPECT_EQ(Units(names, 45), std::u16string(u"Bezier\0Free Hand\0Line\0Polygon\0Rectangle\0Tab\0\0", 45));
    IVXPath* p = Add("M 100 100 L 200 100 L 200 200 L 100 200 Z", "p");
    EXPECT_EQ(canvas->GetTemplateText(p, nullptr, 0), 0);  // not a template figure

    EXPECT_TRUE(canvas->ApplyTemplateText(p, VXTEXT("<Tab><(0.25,0)>"), false));
    EXPECT_EQ(PathText(p), "M 125 100 L 175 100 L 200 200 L 100 200 Z");
    VXCHAR text[40];
    std::fill(std::begin(text), std::end(text), VXCHAR('#'));
    EXPECT_EQ(canvas->GetTemplateText(p, text, 5), 26);  // no terminator, only capacity units
    EXPECT_EQ(Units(text, 6), u"<Tab>#");
    EXPECT_EQ(canvas->GetTemplateText(p, text, 40), 26);
    EXPECT_EQ(Units(text, 26), u"<Tab><(0.250000,0.000000)>");

    // Told: one change bracket (a refused one: tests/data/replay); pairs beyond the references
    // are ignored, a missing second number reads as 0 and nothing after the ")" is read.
    EXPECT_TRUE(canvas->ApplyTemplateText(p, VXTEXT("<Tab><(0.1)0.5(0.4,0)>"), true));
    EXPECT_EQ(PathText(p), "M 110 100 L 190 100 L 200 200 L 100 200 Z");
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p 3 1 0 0 1 0 0", "PathChanged p 3", "EndChange"}));
    // Unknown names and texts without a name change nothing.
    for (const VXCHAR* bad : {VXTEXT("<Nope><(0.3,0)>"), VXTEXT("Tab (0.3,0)"), VXTEXT("<Tab"), VXTEXT("")})
        EXPECT_FALSE(canvas->ApplyTemplateText(p, bad, true));
    EXPECT_FALSE(canvas->ApplyTemplateText(p, nullptr, true));
    EXPECT_EQ(log.lines.size(), 4u);
}

// A refused add leaves the selection as it was: tests/data/replay (RefusedApprovals...).
TEST_F(CanvasTest, AToolsDrawIsAddedSelectedAndHeldOnce) {
    CountedTool tool;
    canvas->RegisterTool(VXTEXT("Counted"), &tool);
    EXPECT_TRUE(canvas->SetCurrentTool(VXTEXT("Counted")));
    canvas->MouseDown(1, 1, 0);
    ASSERT_EQ(canvas->GetPathCount(), 1);
    IVXPath* drawn = canvas->GetPath(0);
    EXPECT_EQ(PathText(drawn), "M 0 0 L 5 5");
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{drawn});
    EXPECT_EQ(drawn->AddRef(), 2);  // the list's reference and this one
    EXPECT_EQ(drawn->Release(), 1);
    // A tool that places nothing: false, nothing added.
    EXPECT_FALSE(canvas->PlaceFigure(10, 10, VXTEXT("Counted")));
    EXPECT_EQ(canvas->GetPathCount(), 1);
    canvas->SetCurrentTool(nullptr);
    EXPECT_FALSE(canvas->PlaceFigure(10, 10, VXTEXT("Counted")));
    VX_DestroyGraphicCanvas(canvas);  // before the tool goes out of scope
    canvas = nullptr;
    EXPECT_EQ(tool.refs, 1);
}

TEST_F(TemplateCanvasTest, HostileInputGivesDefinedResults) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    IVXPath* p = Add("M 10 10 L 110 10 L 110 70 L 10 70 Z", "p");
    canvas->SetEditMode(0);
    IVXPath* found = p;
    for (double v : {nan, inf, -inf}) {
        canvas->MouseMove(v, v);
        EXPECT_EQ(canvas->HitTest(v, 10, 0, &found), 0);
        EXPECT_EQ(found, nullptr);
    }
    EXPECT_EQ(log.lines, Lines{});  // nothing hovered, nothing said
    // A band pressed at NaN selects nothing, whatever the release.
    Select({p});
    events.Drag(200, 200).Release(200, 200);
    Press(nan, nan);
    EXPECT_EQ(Selected(), std::vector<IVXPath*>{});
    EXPECT_EQ(log.lines.back(), "Refresh 0 0 0 0");

    // Template texts that end early or carry numbers beyond any frame still answer.
    for (const VXCHAR* text : {VXTEXT("<Tab><("), VXTEXT("<Tab><(1e999,-1e999)>"), VXTEXT("<Tab><(nan)(,)>"),
                               VXTEXT("<Tab>"), VXTEXT("<<Tab>>")}) {
        EXPECT_EQ(canvas->ApplyTemplateText(p, text, false), text[1] == 'T');
    }
    VXCHAR unused = 'u';
    EXPECT_GT(canvas->GetTemplateText(p, &unused, -5), 0);
    EXPECT_EQ(unused, VXCHAR('u'));
    EXPECT_EQ(canvas->GetTemplateText(nullptr, nullptr, 0), 0);
    EXPECT_FALSE(canvas->ApplyTemplateText(nullptr, VXTEXT("<Tab>"), true));

    // Sizes that are not numbers place nothing or something, never half of it.
    canvas->SetCurrentTool(VXTEXT("Tab"));
    for (double v : {nan, inf, -1e308}) {
        const int32_t before = canvas->GetPathCount();
        events.Release(30, 30);  // the placing gesture ends at the release
        events.Play();
        const bool placed = canvas->PlaceFigure(v, 20, VXTEXT("Tab"));
        events.Leftover();
        EXPECT_EQ(canvas->GetPathCount(), before + (placed ? 1 : 0)) << v;
    }
    canvas->RegisterTool(nullptr, nullptr);
    EXPECT_EQ(canvas->GetToolNames(nullptr), 45);
}

TEST_F(CanvasTest, HostsReachEveryOperationByTablePosition) {
    void** table = *reinterpret_cast<void***>(canvas);
    using GetMode = int32_t(MEMBER_CALL*)(IGraphicCanvas*);
    using SetMode = void(MEMBER_CALL*)(IGraphicCanvas*, int32_t);
    using Names = int32_t(MEMBER_CALL*)(IGraphicCanvas*, VXCHAR*);
    using Count = int32_t(MEMBER_CALL*)(IGraphicCanvas*);
    reinterpret_cast<SetMode>(table[0])(canvas, 7);
    EXPECT_EQ(reinterpret_cast<GetMode>(table[1])(canvas), 7);
    Add("M 0 0 L 1 1", "p");
    EXPECT_EQ(reinterpret_cast<Count>(table[13])(canvas), 1);
    EXPECT_EQ(reinterpret_cast<Names>(table[24])(canvas, nullptr), 41);
    reinterpret_cast<void(MEMBER_CALL*)(IGraphicCanvas*, uint32_t)>(table[23])(canvas, 1);
    canvas = nullptr;  // destroyed through entry 24; the sanitizers catch a leak or bad free
    VX_DestroyGraphicCanvas(nullptr);
    EXPECT_EQ(VX_CreateGraphicCanvas(nullptr), nullptr);
}

}  // namespace
}  // namespace vx::test
