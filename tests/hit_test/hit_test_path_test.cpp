// HitTestPath: codes, part indices and their precedence, through path transforms and a
// host whose ToScreen scales and shifts; IsInsideRect.
#include <cmath>
#include <limits>
#include <memory>

#include "hit_fixture.h"
#include "templates/figure_template.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char* kSquare = "M 0 0 L 100 0 L 100 100 L 0 100 Z";

TEST_F(HitTest, WidenedBoxLetsThroughTwiceTheMarkSize) {
    AddPathText(path, kSquare);
    struct Case {
        double x, y;
        bool tested;  // got past the box test
    } cases[] = {
        {-16, 50, true}, {-17, 50, false}, {116, 50, true}, {117, 50, false},
        {50, -16, true}, {50, -17, false}, {50, 116, true}, {50, 117, false},
        {-16, -16, true}, {-16.01, -16, false}, {kNaN, 50, false}, {50, kInf, false},
    };
    for (const Case& c : cases) {
        host.toScreenCalls = 0;
        EXPECT_EQ(Hit(c.x, c.y), (Answer{0, -1})) << c.x << "," << c.y;
        // Rejected points map only the two corners of the box.
        EXPECT_EQ(host.toScreenCalls > 2, c.tested) << c.x << "," << c.y;
    }
    // A larger mark widens further.
    g_parameters.MarkSize = 9;
    host.toScreenCalls = 0;
    EXPECT_EQ(Hit(-17, 50).code, 0);
    EXPECT_GT(host.toScreenCalls, 2);
}

TEST_F(HitTest, BoxHandlesRingsAndEdgesOfASelectedPath) {
    // Path space (0, 0)-(50, 50), moved by (5, 5) onto the canvas, shown twice as large and
    // shifted by (10, 20): the screen box is (20, 30)-(120, 130).
    AddPathText(path, "M 0 0 L 50 0 L 50 50 L 0 50 Z");
    SetTransform({1, 0, 0, 1, 5, 5});
    host.scale = 2;
    host.offsetX = 10;
    host.offsetY = 20;
    Select();
    struct Case {
        double x, y;
        Answer expected;
        const char* what;
    } cases[] = {
        // Each handle's mark box; the part holds the code of the handle before it.
        {20, 30, {3, -1}, "P1"},
        {70, 30, {4, 3}, "top middle"},
        {120, 30, {5, 4}, "P2"},
        {120, 80, {6, 5}, "right middle"},
        {120, 130, {7, 6}, "P4"},
        {70, 130, {8, 7}, "bottom middle"},
        {20, 130, {9, 8}, "P3"},
        {20, 80, {2, 9}, "left middle"},
        {70, 80, {1, 2}, "centre"},
        // Mark boxes reach half the mark size, borders included; rings the whole size.
        {23, 30, {3, -1}, "3 right of P1"},
        {24, 34, {3, -1}, "mark box corner"},
        {24.01, 30, {10, 3}, "just past the mark box: ring"},
        {26, 30, {10, 3}, "6 right of P1: ring"},
        {28, 38, {10, 3}, "ring corner"},
        {70, 23, {10, 4}, "above the top middle"},
        {77, 80, {10, 1}, "ring of the centre"},
        // Edges, after every handle: the part is the last handle's code, 1.
        {45, 29, {4, 1}, "25 right of P1, 1 above the top edge"},
        {28.01, 30, {4, 1}, "on the top edge beside the ring"},
        {121, 105, {6, 1}, "right edge"},
        {95, 131.5, {8, 1}, "bottom edge"},
        {18.5, 55, {2, 1}, "left edge"},
        // Inside, away from everything: nothing without a fill.
        {45, 55, {0, -1}, "inside"},
        {135, 80, {0, -1}, "15 right of the box"},
    };
    for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y, 0), c.expected) << c.what;

    // An odd mark size: half is 3, the mark box runs from -3 to +4.
    g_parameters.MarkSize = 7;
    EXPECT_EQ(Hit(24, 30, 0), (Answer{3, -1}));
    EXPECT_EQ(Hit(16, 30, 0), (Answer{10, 3}));
    EXPECT_EQ(Hit(17, 30, 0), (Answer{3, -1}));
    // A larger edge tolerance reaches farther; a negative one reads as a huge unsigned.
    g_parameters.MarkSize = 8;
    g_parameters.EdgeTolerance = 5;
    EXPECT_EQ(Hit(45, 26, 0), (Answer{4, 1}));
    g_parameters.EdgeTolerance = -1;
    EXPECT_EQ(Hit(45, 55, 0), (Answer{4, 1}));
}

TEST_F(HitTest, ARingComesBeforeTheNextHandlesMark) {
    // A 10 by 10 box: the top middle handle (5, 0) lies within P1's ring.
    AddPathText(path, "M 0 0 L 10 0 L 10 10 L 0 10 Z");
    Select();
    EXPECT_EQ(Hit(4.5, 0, 0), (Answer{10, 3}));
    EXPECT_EQ(Hit(4, 0, 0), (Answer{3, -1}));
    // The centre's mark loses to the rings of the handles tested before it.
    EXPECT_EQ(Hit(5, 5, 0), (Answer{10, 3}));
}

// A template copy with the frame (0, 0)-(100, 100) and references at fractions of it.
std::unique_ptr<FigureTemplate> Frame(
    std::initializer_list<std::pair<const VXCHAR*, const VXCHAR*>> refs) {
    auto t = std::make_unique<FigureTemplate>();
    t->frame[2] = 100;
    t->frame[3] = 100;
    for (const auto& r : refs) {
        TemplateReference ref;
        ref.x.value = r.first;
        ref.y.value = r.second;
        t->references.push_back(ref);
    }
    return t;
}

TEST_F(HitTest, ReferenceHandlesComeFirst) {
    AddPathText(path, kSquare);
    path->AttachTemplate(Frame({{VXTEXT("0.25"), VXTEXT("0.5")}, {VXTEXT("0.75"), VXTEXT("0.5")},
                               {VXTEXT("0"), VXTEXT("0")}}).get());
    ASSERT_EQ(path->ReferencePoints().size(), 6u);
    Select();
    EXPECT_EQ(Hit(25, 50, 0), (Answer{18, 0}));
    EXPECT_EQ(Hit(79, 46, 0), (Answer{18, 1}));
    // On P1 the third reference wins over the corner handle and the node.
    EXPECT_EQ(Hit(0, 0, 0), (Answer{18, 2}));
    // Past the references the part holds the last index until the first handle writes.
    EXPECT_EQ(Hit(100, 0, 0), (Answer{5, 4}));
    EXPECT_EQ(Hit(2, 100, 0), (Answer{9, 8}));
    // Only a selected path in object mode shows them.
    EXPECT_EQ(Hit(0, 0, 1), (Answer{15, 0}));
    EXPECT_EQ(Hit(25, 50, 1), (Answer{0, -1}));
    selections.Clear();
    EXPECT_EQ(Hit(0, 0, 0), (Answer{15, 0}));
    EXPECT_EQ(Hit(25, 50, 0), (Answer{0, -1}));
}

TEST_F(HitTest, ReferenceIndexKeepsItsLowEightBits) {
    AddPathText(path, kSquare);
    auto t = Frame({});
    for (int i = 0; i < 300; ++i) {
        TemplateReference ref;
        ref.x.value = ref.y.value = i == 299 ? VXTEXT("0.9") : VXTEXT("0.1");
        t->references.push_back(ref);
    }
    path->AttachTemplate(t.get());
    Select();
    EXPECT_EQ(Hit(90, 90, 0), (Answer{18, 299 & 0xFF}));
    EXPECT_EQ(Hit(10, 10, 0), (Answer{18, 0}));
    EXPECT_EQ(Hit(100, 0, 0), (Answer{5, 4}));
}

TEST_F(HitTest, NodesAndControlPointsInNodeOrder) {
    AddPathText(path, "M 0 0 C 0 50 100 50 100 0 L 100 100 L 0 0");
    struct Case {
        double x, y;
        Answer expected;
        const char* what;
    } cases[] = {
        {0, 0, {15, 0}, "the move, before the last line's end at the same point"},
        {1, 50, {16, 256}, "first control"},
        {100, 53, {16, 257}, "second control"},
        {97, 3, {15, 258}, "curve end"},
        {100, 100, {15, 512}, "line end"},
        {50, 100.5, {0, -1}, "box bottom, far from the outline"},
        {100.5, 60, {17, -1}, "on the line"},
        {50, 36.5, {17, -1}, "on the curve"},
        {50, 50, {17, -1}, "on the last line"},
    };
    for (int32_t mode : {0, 1}) {
        for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y, mode), c.expected) << c.what;
    }
    // Selected in node mode: the same answers, the box handles are not looked at.
    Select();
    for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y, 1), c.expected) << c.what;
    // Other modes behave as node mode.
    for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y, 7), c.expected) << c.what;
}

TEST_F(HitTest, NodeModeOverABoxCorner) {
    // A diamond: its box corner P1 (0, 0) is neither a node nor near the outline.
    AddPathText(path, "M 10 0 L 0 10 L 10 20 L 20 10 Z");
    Select();
    EXPECT_EQ(Hit(0, 0, 0), (Answer{3, -1}));
    EXPECT_EQ(Hit(0, 0, 1), (Answer{0, -1}));
    EXPECT_EQ(Hit(4.5, 4.5, 1), (Answer{17, -1}));
    EXPECT_EQ(Hit(10, 0, 1), (Answer{15, 0}));
}

TEST_F(HitTest, FillRulesDecideTheInside) {
    AddPathText(path, "M 0 0 L 100 0 L 100 100 L 0 100 Z M 25 25 L 75 25 L 75 75 L 25 75 Z");
    EXPECT_EQ(Hit(50, 50), (Answer{0, -1}));
    Fill(VX_FILL_NONZERO);
    EXPECT_EQ(Hit(50, 50), (Answer{17, -1}));
    EXPECT_EQ(Hit(10, 50), (Answer{17, -1}));
    Fill(VX_FILL_EVENODD);
    EXPECT_EQ(Hit(50, 50), (Answer{0, -1}));
    EXPECT_EQ(Hit(10, 50), (Answer{17, -1}));
    Fill(VX_FILL_NONE);
    EXPECT_EQ(Hit(10, 50), (Answer{0, -1}));
    Fill(42);
    EXPECT_EQ(Hit(10, 50), (Answer{0, -1}));
    // The outline counts whatever the rule.
    EXPECT_EQ(Hit(75, 50.5), (Answer{17, -1}));
}

TEST_F(HitTest, AKindNineNodeEndsTheOutlineButNotTheMarks) {
    AddPathText(path, "M 0 0 L 100 0 N 9 50 50 0 0 0 0 L 100 100 L 0 100 Z");
    Fill(VX_FILL_NONZERO);
    EXPECT_EQ(Hit(50, 1), (Answer{17, -1}));     // the line before it
    EXPECT_EQ(Hit(101, 50), (Answer{0, -1}));    // the line after it
    EXPECT_EQ(Hit(50, 50), (Answer{0, -1}));     // no longer inside; its point is no mark
    EXPECT_EQ(Hit(100, 100), (Answer{15, 768}));
    EXPECT_EQ(Hit(3, 97), (Answer{15, 1024}));
    EXPECT_EQ(Hit(100, 0), (Answer{15, 256}));
}

TEST_F(HitTest, TransformAndHostMappingMeetOnTheScreen) {
    // Turned a quarter: (x, y) -> (100 - y, 50 + x) on the canvas, then three times as
    // large and shifted by (-20, 10) on the screen.
    AddPathText(path, "M 0 0 L 10 0 C 10 5 5 10 0 10 Z");
    SetTransform({0, 1, -1, 0, 100, 50});
    host.scale = 3;
    host.offsetX = -20;
    host.offsetY = 10;
    // Screen points: move (280, 160), line (280, 190), controls (265, 190) and
    // (250, 175), end (250, 160).
    struct Case {
        double x, y;
        Answer expected;
    } cases[] = {
        {280, 160, {15, 0}},   {282, 192, {15, 256}},     {265, 190, {16, 512}},
        {250, 175, {16, 513}}, {246, 156, {15, 514}},     {281, 175, {17, -1}},
        {265, 161, {17, -1}},  {259.375, 180.625, {17, -1}}, {270, 170, {0, -1}},
        {291, 175, {0, -1}},
    };
    for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y), c.expected) << c.x << "," << c.y;
    Fill(VX_FILL_EVENODD);
    EXPECT_EQ(Hit(270, 170), (Answer{17, -1}));
    EXPECT_EQ(Hit(255, 185), (Answer{0, -1}));  // outside the curve's bulge
}

TEST_F(HitTest, EmptyPathHasOnlyItsBox) {
    EXPECT_EQ(Hit(0, 0, 1), (Answer{0, -1}));
    Select();
    // The flat-box margin gives the empty path the box (-4, -4)-(4, 4).
    EXPECT_EQ(Hit(-4, -4, 0), (Answer{3, -1}));
    EXPECT_EQ(Hit(0, 0, 0), (Answer{3, -1}));  // on the border of P1's mark box
    EXPECT_EQ(Hit(20, 0, 0), (Answer{0, -1}));
    EXPECT_EQ(Hit(0, 0, 1), (Answer{0, -1}));
}

TEST_F(HitTest, NullContextMapsUnchangedAndSelectsNothing) {
    AddPathText(path, kSquare);
    int32_t part = 7;
    EXPECT_EQ(path->HitTestPath(nullptr, 100, 0, 0, &part), 15);
    EXPECT_EQ(part, 256);
    HostSelectionContext noHost(nullptr, &selections);
    Select();
    EXPECT_EQ(path->HitTestPath(&noHost, 100, 0, 0, &part), 5);
    EXPECT_EQ(path->HitTestPath(&noHost, 100, 0, 0, nullptr), 5);
}

TEST_F(HitTest, HostileCoordinatesGiveDefinedCodes) {
    const double bad[] = {kNaN, kInf, -kInf, 1e300, -1e300};
    for (double v : bad) {
        // A bad point: outside every box.
        AddPathText(path, kSquare);
        Select();
        EXPECT_EQ(Hit(v, 50, 0), (Answer{0, -1})) << v;
        EXPECT_EQ(Hit(50, v, 1), (Answer{0, -1})) << v;

        // A bad first coordinate spoils the box: nothing is hit.
        path->ClearNodes();
        path->AddNode(VX_NODE_MOVE, v, 0, 0, 0, 0, 0);
        AddPathText(path, "L 100 100 L 0 100 Z");
        for (int32_t mode : {0, 1}) {
            const Answer a = Hit(50, 99, mode);
            EXPECT_TRUE(a.code == 0 || a.code == 17 || (a.code >= 1 && a.code <= 10)) << v;
        }

        // A bad control point of a curve leaves the box alone: the nodes and the line
        // still answer, the curve never hits.
        path->ClearNodes();
        AddPathText(path, "M 0 0");
        path->AddNode(VX_NODE_CUBIC, v, 50, 100, 50, 100, 0);
        AddPathText(path, "L 100 100");
        Fill(VX_FILL_NONZERO);
        if (v == -kInf) {
            // Corner 1 becomes (-inf, 0 * -inf = NaN): the box rejects every point.
            EXPECT_EQ(Hit(0, 0, 1), (Answer{0, -1}));
        } else {
            EXPECT_EQ(Hit(0, 0, 1), (Answer{15, 0})) << v;
            EXPECT_EQ(Hit(100.5, 60, 1), (Answer{17, -1})) << v;
            EXPECT_EQ(Hit(100, 100, 1), (Answer{15, 512})) << v;
        }
        const Answer a = Hit(50, 30, 1);
        EXPECT_TRUE(a.code == 0 || a.code == 17) << v;

        // A bad transform.
        SetTransform({v, 0, 0, v, 0, 0});
        for (int32_t mode : {0, 1}) {
            const Answer b = Hit(50, 50, mode);
            EXPECT_TRUE(b.code == 0 || b.code == 17 || (b.code >= 1 && b.code <= 16)) << v;
        }
        SetTransform({1, 0, 0, 1, 0, 0});
        path->SetFillObject(nullptr);
        path->ClearNodes();
        selections.Clear();
    }
}

TEST_F(HitTest, InsideRectTakesEveryPointControlsIncluded) {
    EXPECT_TRUE(path->IsInsideRect(0, 0, 0, 0));  // no nodes
    AddPathText(path, "M 10 10 C 10 0 30 0 30 10 L 30 20");
    // The curve reaches y = 2.5, its controls y = 0.
    EXPECT_TRUE(path->IsInsideRect(10, 0, 30, 20));
    EXPECT_TRUE(path->IsInsideRect(30, 20, 10, 0));  // corners in any order
    EXPECT_FALSE(path->IsInsideRect(10, 2, 30, 20));
    EXPECT_FALSE(path->IsInsideRect(10, 0, 30, 19.9));
    // The transform applies.
    SetTransform({2, 0, 0, 2, 0, 0});
    EXPECT_FALSE(path->IsInsideRect(10, 0, 30, 20));
    EXPECT_TRUE(path->IsInsideRect(20, 0, 60, 40));
    SetTransform({1, 0, 0, 1, 0, 0});
    // Other kinds are not points; a NaN point is never inside.
    path->AddNode(9, 1000, 1000, 0, 0, 0, 0);
    path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(path->IsInsideRect(10, 0, 30, 20));
    path->AddNode(VX_NODE_LINE, kNaN, 10, 0, 0, 0, 0);
    EXPECT_FALSE(path->IsInsideRect(-kInf, -kInf, kInf, kInf));
}

}  // namespace
}  // namespace vx::test
