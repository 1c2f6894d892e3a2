// The sketch's window-free logic (apps/sketch) against the real library: the view's
// mappings, the file format, and undo built on the approval protocol.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "host.h"
#include "support/rows.h"
#include "svg_file.h"

namespace sketch {
namespace {

// A canvas with the bundled figures, its host recording undo steps.
struct Sketch : ::testing::Test {
    // The exports the program looks up in the library, in the order of OstrelExports' fields.
    OstrelExports library{
        VX_CreateGraphicCanvas, VX_DestroyGraphicCanvas, VX_CreatePath, VX_CreatePathEx, VX_Initial, VX_Release,
        VX_SetParameters};
    View view;
    UndoStack undo{library};
    SketchHost host{view, undo};
    IGraphicCanvas* canvas = nullptr;

    void SetUp() override {
        const std::string folder = SKETCH_FIGURES;
        library.Initial(FromUtf8(folder).c_str());
        canvas = library.CreateGraphicCanvas(&host);
        undo.SetCanvas(canvas);
    }
    void TearDown() override {
        undo.Clear();
        library.DestroyGraphicCanvas(canvas);
        library.Release();
    }
    // A path added as a tool's would be: inside the change bracket, approved.
    IVXPath* Add(IVXPath* path) {
        host.BeginChange();
        if (host.ApprovePathAdd(path)) canvas->AddPath(path);
        host.EndChange();
        path->Release();
        return path;
    }
    IVXPath* Rect(double x, double y, double w, double h) {
        IVXPath* path = library.CreatePath();
        path->AddNode(VX_NODE_RECT, x, y, w, h, 0, 0);
        return Add(path);
    }
    IVXPath* Star() {
        PathCreateParams params = {};
        params.left = 100, params.top = 50, params.right = 200, params.bottom = 150;
        const VXString name = VXTEXT("Star");
        std::copy(name.begin(), name.end(), params.name);
        return Add(library.CreatePathEx(&params));
    }
    std::vector<IVXPath*> Paths() {
        std::vector<IVXPath*> paths;
        for (int32_t i = 0; i < canvas->GetPathCount(); ++i) paths.push_back(canvas->GetPath(i));
        return paths;
    }
    std::string Text(IVXPath* path) { return ToUtf8(CapturePath(canvas, path).templateText); }
};

TEST(SketchView, MapsScreenToCanvasAndBack) {
    for (const vx::test::Row& row : vx::test::ReadRows("sketch/view.txt")) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 8u);
        const std::vector<double> c = vx::test::NumberFields(row);
        View view;
        view.SetOrigin(4, 42);
        view.SetZoom(c[0], c[1], c[2]);
        view.snap = c[3] != 0;
        double x = c[4], y = c[5];
        view.AdjustPoint(&x, &y);
        EXPECT_DOUBLE_EQ(x, c[6]);
        EXPECT_DOUBLE_EQ(y, c[7]);
        if (!view.snap) {
            view.ToScreen(&x, &y);
            EXPECT_NEAR(x, c[4], 1e-9);
            EXPECT_NEAR(y, c[5], 1e-9);
        }
    }
    // Steps move along the levels from 25 % to 800 %, stopping at the ends; NaN leaves the zoom.
    View view;
    for (auto [steps, zoom] : {std::pair{1, 2.0}, {10, 8.0}, {-3, 1.0}}) {
        view.ZoomSteps(steps, 0, 0);
        EXPECT_EQ(view.Zoom(), zoom) << steps;
    }
    view.SetZoom(NAN, 0, 0);
    EXPECT_EQ(view.Zoom(), 1);
}

TEST(SketchText, NumbersAndUtf8RoundTrip) {
    for (double v : {0.1, -3.0, 1e300, 123.456789012345, 5e-324}) {
        const std::string text = ExactNumber(v);
        const char* p = text.c_str();
        double back = 0;
        ASSERT_TRUE(ReadNumber(&p, &back)) << text;
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(ShortNumber(1.23456), "1.235");
    EXPECT_EQ(ShortNumber(-0.0001), "0");
    for (const char* bad : {"", "x", "1e999", "nan", "--1"}) {
        double v;
        EXPECT_FALSE(ReadNumber(&bad, &v)) << bad;
    }
    const VXString text = {u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00};
    EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8("a\xFF\xC3"), (VXString{u'a', 0xFFFD, 0xFFFD}));
}

TEST_F(Sketch, SavedDrawingDrawsTheTransformedOutlines) {
    IVXPath* rect = Rect(10, 20, 30, 40);
    const double turn[6] = {0, 1, -1, 0, 300, 0};
    rect->SetTransform(turn);
    const std::string file = WriteSvg(DrawingOf(canvas, 400, 300));
    // What a viewer draws: the outline in canvas units, the transform applied.
    EXPECT_NE(file.find("d=\"M 280 10 L 280 40 L 240 40 L 240 10 Z\""), std::string::npos) << file;
    EXPECT_NE(file.find("viewBox=\"0 0 400 300\""), std::string::npos);
    // Reading it back as the same paths is the tour's step "the saved drawing reopened"
    // (scripts/lib/sketch_tour.py): the reopened drawing saves to the same file.
}

TEST(SketchFile, RefusesWhatIsNotADrawing) {
    std::vector<vx::test::Row> rows = vx::test::ReadRows("sketch/refused.txt", vx::test::Split::kBars);
    rows.push_back({"empty", {"no XML element", ""}});
    rows.push_back({"NUL", {"not a text file", std::string("<svg>\0</svg>", 12)}});
    for (const vx::test::Row& row : rows) {
        SCOPED_TRACE(row.where);
        SvgDrawing drawing;
        std::string error;
        ASSERT_EQ(row.fields.size(), 2u);
        EXPECT_FALSE(ReadSvg(row.fields[1], &drawing, &error));
        EXPECT_NE(error.find(row.fields[0]), std::string::npos) << error;
    }
    SvgDrawing drawing;
    std::string error;
    EXPECT_TRUE(
        ReadSvg("<?xml version=\"1.0\"?><!-- x --><svg xmlns:k=\"urn:ostrel:sketch:1\">"
                "<path stroke='#0000ff' fill='#ff0000' k:nodes='M 1 2 C 3 4 5 6 7 8 Z' "
                "k:transform='2 0 0 2 0 0'/></svg>",
                &drawing, &error))
        << error;
    ASSERT_EQ(drawing.paths.size(), 1u);
    EXPECT_EQ(drawing.paths[0].fill, 0xFF0000u);
    EXPECT_EQ(drawing.paths[0].state.nodes.size(), 3u);
    EXPECT_EQ(drawing.paths[0].state.nodes[1].y3, 8);
}

TEST_F(Sketch, UndoAndRedoFollowTheApprovals) {
    IVXPath* a = Rect(0, 0, 10, 10);
    IVXPath* star = Star();
    IVXPath* c = Rect(50, 50, 10, 10);
    // A transform edit as the tracking loops commit it.
    host.BeginChange();
    ASSERT_TRUE(host.ApprovePathChange(a, 2, PathTransform{1, 0, 0, 1, 5, 5}));
    const double moved[6] = {1, 0, 0, 1, 5, 5};
    a->SetTransform(moved);
    host.PathChanged(a, 2);
    host.EndChange();
    // The library's own calls: a told template text change, and a removal of the middle
    // path in a host step of its own.
    ASSERT_TRUE(canvas->ApplyTemplateText(star, VXTEXT("<Star><(0.5,0.9)>"), true));
    undo.Open();
    canvas->RemovePath(star);
    undo.Close();
    EXPECT_EQ(Paths(), (std::vector<IVXPath*>{a, c}));
    star->Release();  // the list's reference, passed to the caller

    // The removal back in place, the template text, the move, the additions one a step.
    const std::map<std::string, IVXPath*> named = {{"a", a}, {"star", star}, {"c", c}};
    for (const vx::test::Row& row : vx::test::ReadRows("sketch/undo.txt", vx::test::Split::kBars)) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 4u);
        ASSERT_TRUE(row.fields[0] == "undo" ? undo.Undo() : undo.Redo());
        std::vector<IVXPath*> paths;
        std::istringstream names(row.fields[1]);
        for (std::string name; names >> name;) paths.push_back(named.at(name));
        EXPECT_EQ(Paths(), paths);
        double m[6];
        a->GetTransform(m);
        EXPECT_EQ(m[4], vx::test::NumberField(row.fields[2]));
        EXPECT_EQ(Text(star), row.fields[3]);
        EXPECT_TRUE(star->HasTemplate());
    }
    EXPECT_FALSE(undo.Redo());
    EXPECT_FALSE(undo.AtSavePoint());
    undo.MarkSaved();
    undo.Undo();
    EXPECT_FALSE(undo.AtSavePoint());
    undo.Redo();
    EXPECT_TRUE(undo.AtSavePoint());
    // A new step drops what could be redone.
    undo.Undo();
    IVXPath* d = Rect(1, 1, 2, 2);
    EXPECT_FALSE(undo.CanRedo());
    EXPECT_EQ(Paths(), (std::vector<IVXPath*>{a, star, c, d}));
}

}  // namespace
}  // namespace sketch
