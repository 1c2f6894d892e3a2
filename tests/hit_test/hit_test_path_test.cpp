// HitTestPath: codes, part indices and their precedence, through path transforms and a host
// whose ToScreen scales and shifts; IsInsideRect; SegmentHit and PathOutlineHit with their
// truncations, crossings and fill rules; and seeded random points against a filled ellipse of
// four cubics, checked with the analytic ellipse, which also shows the widened-box rejection
// firing without changing any answer.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "editor/editor.h"
#include "path/parameters.h"
#include "path/hit_test.h"
#include "path/path.h"
#include "support/recording.h"
#include "support/rows.h"
#include "templates/figure_template.h"

namespace vx::test {
namespace {

const double kNaN = std::nan(""), kInf = HUGE_VAL;
const char* kSquare = "M 0 0 L 100 0 L 100 100 L 0 100 Z";

using Answer = std::pair<int32_t, int32_t>;  // a hit code and the part index beside it
const Answer kMiss{kHitNothing, -1}, kFigure{kHitFigure, -1};

// A hit code by its name in a data file (the constant's name without kHit), or a number.
#define HIT_CODE(name) std::pair<const char*, int32_t>(#name, kHit##name)
int32_t CodeOrNumber(const std::string& field) {
    const std::pair<const char*, int32_t> names[] = {
        HIT_CODE(Nothing),  HIT_CODE(Center), HIT_CODE(Left),        HIT_CODE(TopLeft), HIT_CODE(Top),
        HIT_CODE(TopRight), HIT_CODE(Right),  HIT_CODE(BottomRight), HIT_CODE(Bottom),  HIT_CODE(BottomLeft),
        HIT_CODE(Ring),     HIT_CODE(Node),   HIT_CODE(Control),     HIT_CODE(Figure),  HIT_CODE(Reference),
    };
    for (const auto& [name, code] : names) {
        if (field == name) return code;
    }
    return std::stoi(field);
}

class HitTest : public ::testing::Test {
protected:
    // Standard output holds the curves' diagnostic lines; a point the box test rejects maps
    // only the box's corners.
    void SetUp() override { ::testing::internal::CaptureStdout(), host.logMapping = true; }
    void TearDown() override {
        ::testing::internal::GetCapturedStdout();
        path->SetFillObject(nullptr);
        EXPECT_EQ(path->Release(), 0);
        VX_DestroyGraphicCanvas(editor);
        g_parameters = GlobalParameters{};
    }
    Answer Hit(double x, double y, int32_t mode = 1) {
        int32_t part = 12345;
        return {path->HitTestPath(editor->Gate(), &editor->Selections(), x, y, mode, &part), part};  // in this order
    }
    // The path's transform, then the host's scale and shift to the screen.
    void Map(PathTransform t, double scale, double x, double y) {
        path->SetTransform(&t.a), host.scale = scale, host.offsetX = x, host.offsetY = y;
    }
    void Fill(int32_t rule) { path->SetFillObject(&(fill = CountedObject(nullptr, "", rule))); }
    // The rows of one section of hit_test/hit_path.txt.
    void Check(int32_t mode, const std::string& section) {
        int rows = 0;
        for (const Row& row : ReadRows("hit_test/hit_path.txt")) {
            if (row.fields.at(0) != section) continue;
            SCOPED_TRACE(row.where);
            ASSERT_EQ(row.fields.size(), 5u);
            const Answer want{CodeOrNumber(row.fields[3]), CodeOrNumber(row.fields[4])};
            EXPECT_EQ(Hit(NumberField(row.fields[1]), NumberField(row.fields[2]), mode), want);
            ++rows;
        }
        EXPECT_GT(rows, 0) << section;
    }

    CVXPath* path = CVXPath::Create();
    CallLog log;
    RecordingSurface surface{log};
    RecordingHost host{log, &surface};
    CVXEditor* editor = static_cast<CVXEditor*>(VX_CreateGraphicCanvas(&host));
    CVXSelections& selections = editor->Selections();
    CountedObject fill{nullptr, "fill"};
};

TEST_F(HitTest, BoxHandlesRingsAndEdgesOfASelectedPath) {
    // Path space (0, 0)-(50, 50), moved by (5, 5) onto the canvas, shown twice as large and
    // shifted by (10, 20): the screen box is (20, 30)-(120, 130).
    AddPathText(path, "M 0 0 L 50 0 L 50 50 L 0 50 Z");
    Map({1, 0, 0, 1, 5, 5}, 2, 10, 20);
    selections.Add(path);
    Check(0, "box");
    g_parameters.MarkSize = 7;
    Check(0, "box7");
    log.Clear();
    EXPECT_TRUE(Hit(5.9, 80, 0) == kMiss && log.lines.size() == 2);  // more than 2 * 7 left of the box
    g_parameters.MarkSize = 40;
    Check(0, "box40");
}

TEST_F(HitTest, ReferenceHandlesComeFirstWithTheirIndexInEightBits) {
    AddPathText(path, kSquare);
    FigureTemplate frame;  // frame (0, 0)-(100, 100), references at fractions of it
    frame.frame[2] = frame.frame[3] = 100;
    const VXCHAR* at[] = {VXTEXT("0.25"), VXTEXT("0.75"), VXTEXT("0"), VXTEXT("0.5"), VXTEXT("0.9")};
    for (int i = 0; i < 300; ++i) {
        TemplateReference ref;  // 0: (25, 50), 1: (75, 50), 2: (0, 0), 299: (90, 90), else (50, 50)
        ref.x.value = at[i < 3 ? i : i == 299 ? 4 : 3];
        ref.y.value = at[i < 2 ? 3 : i == 2 ? 2 : i == 299 ? 4 : 3];
        frame.references.push_back(ref);
    }
    path->AttachTemplate(&frame);
    selections.Add(path);
    Check(0, "refs");
    Check(1, "refs_node");
    selections.Clear();
    Check(0, "refs_node");
}

TEST_F(HitTest, NodesAndControlPointsInNodeOrder) {
    AddPathText(path, "M 0 0 C 0 50 100 50 100 0 L 100 100 L 0 0");
    // Not selected in either mode, and selected in node mode, where no box handle is tested.
    for (int round = 0; round < 3; ++round) {
        if (round == 2) selections.Add(path);
        Check(round > 0, "curve");
    }
    path->ClearNodes();
    AddPathText(path, "M 10 0 L 0 10 L 10 20 L 20 10 Z");
    Check(0, "diamond_object");
    Check(1, "diamond");
}

TEST_F(HitTest, FillRuleKindNineHostileValuesTransformAndHostMapping) {
    AddPathText(path, kSquare);
    EXPECT_EQ(Hit(50, 50), kMiss);
    Fill(VX_FILL_NONZERO);
    EXPECT_EQ(Hit(50, 50), kFigure);
    path->ClearNodes();
    AddPathText(path, "M 0 0 L 100 0 N 9 50 50 0 0 0 0 L 100 100 L 0 100 Z");
    Check(1, "kind9");
    for (double v : {kNaN, kInf, 1e300}) {
        // A bad control point: the curve never hits.
        path->ClearNodes();
        EXPECT_EQ(Hit(0, 0), kMiss);  // no nodes
        path->AddNode(VX_NODE_MOVE, 0, 0, 0, 0, 0, 0);
        path->AddNode(VX_NODE_CUBIC, v, 50, 100, 50, 100, 0);
        AddPathText(path, "L 100 100");
        Check(1, "bad_control");
        EXPECT_LE(unsigned(Hit(50, 30).first), unsigned(kHitFigure)) << v;
    }
    // Turned a quarter: (x, y) -> (100 - y, 50 + x) on the canvas, then three times as large
    // and shifted by (-20, 10): move (280, 160), line (280, 190), controls (265, 190) and
    // (250, 175), end (250, 160).
    path->SetFillObject(nullptr);
    path->ClearNodes();
    AddPathText(path, "M 0 0 L 10 0 C 10 5 5 10 0 10 Z");
    Map({0, 1, -1, 0, 100, 50}, 3, -20, 10);
    Check(1, "turned");
}

TEST_F(HitTest, InsideRectTakesEveryPointControlsIncluded) {
    EXPECT_TRUE(path->IsInsideRect(0, 0, 0, 0));  // no nodes
    AddPathText(path, "M 10 10 C 10 0 30 0 30 10 L 30 20");
    // The curve reaches y = 2.5, its controls y = 0; corners in any order.
    EXPECT_TRUE(path->IsInsideRect(30, 20, 10, 0) && !path->IsInsideRect(10, 2, 30, 20));
    Map({2, 0, 0, 2, 0, 0}, 1, 0, 0);
    path->AddNode(9, 1000, 1000, 0, 0, 0, 0);  // other kinds carry no points
    EXPECT_TRUE(path->IsInsideRect(20, 0, 60, 40));
    path->AddNode(VX_NODE_LINE, kNaN, 10, 0, 0, 0, 0);
    EXPECT_FALSE(path->IsInsideRect(-kInf, -kInf, kInf, kInf));
}

TEST(SegmentHit, DistancesTruncationsAndTheRayTowardSmallerX) {
    for (const Row& row : ReadRows("hit_test/segment_hit.txt")) {
        SCOPED_TRACE(row.where);
        const std::vector<double> c = NumberFields(row);
        ASSERT_EQ(c.size(), 10u);
        int32_t n = 0, w = 0;
        const int32_t hit = SegmentHit(c[0], c[1], c[2], c[3], c[4], c[5], c[6], &n, &w);
        EXPECT_EQ(std::make_tuple(hit, n, w), std::make_tuple(int32_t(c[7]), int32_t(c[8]), int32_t(c[9])));
    }
}

// PathOutlineHit, tolerance 2, over the outline (kind, then its points) of a path text, with
// no fill, the nonzero rule, the even-odd rule and an unknown rule.
std::tuple<int32_t, int32_t, int32_t, int32_t> OutlineHit(const char* text, double x, double y) {
    std::vector<double> list;
    std::istringstream in(text);
    int32_t n = 0;
    for (std::string op; in >> op; ++n) {
        list.push_back(op == "M" ? 0 : op == "L" ? 1 : op == "C" ? 2 : 6);
        for (double v, k = op == "C" ? 6 : op == "Z" ? 0 : 2; k-- > 0 && in >> v;) list.push_back(v);
    }
    ::testing::internal::CaptureStdout();  // curves write a diagnostic line each
    const auto hit = [&](int32_t rule) { return PathOutlineHit(list.data(), n, rule, x, y, 2); };
    const auto r = std::make_tuple(hit(VX_FILL_NONE), hit(VX_FILL_NONZERO), hit(VX_FILL_EVENODD), hit(3));
    ::testing::internal::GetCapturedStdout();
    return r;
}

TEST(PathOutlineHit, NodeNumbersFillRulesKindsAndHostileValues) {
    for (const Row& row : ReadRows("hit_test/outline_hit.txt")) {
        SCOPED_TRACE(row.where);
        const std::vector<double> c = NumberFields(row, 1);
        ASSERT_EQ(c.size(), 5u);
        const int32_t none = int32_t(c[2]), nz = int32_t(c[3]), eo = int32_t(c[4]);
        EXPECT_EQ(OutlineHit(row.fields[0].c_str(), c[0], c[1]), std::make_tuple(none, nz, eo, none));
    }
    // The square with its kinds written 1.9 (a line), -0.5 (a move) and 6.9 (a close).
    const std::vector<double> sq = {-0.5, 0, 0, 1.9, 10, 0, 1, 10, 10, 1, 0, 10, 6.9};
    const auto hit = [](const std::vector<double>& l, int32_t n, double x, double y, int32_t rule = VX_FILL_NONZERO) {
        return PathOutlineHit(l.data(), n, rule, x, y, 2);
    };
    // Read as 5 nodes, then as 4.
    EXPECT_TRUE(hit(sq, 5, 5, 0.5) == 2 && hit(sq, 5, 5, 5) == 1 && hit(sq, 5, 0.5, 5) == 5 && hit(sq, 4, 0.5, 5) == 0);
    EXPECT_EQ(hit({0, 0, 0, 3, 4, 5, 1, 10, 0}, 5, 5, 0.5, VX_FILL_NONE), 5);  // 3 to 5 carry nothing
    // Kinds outside 0 to 6 end the reading: what is left is one horizontal line.
    for (double stop : {7.0, 9.0, -1.0, kNaN, 1e10, -kInf}) {
        const std::vector<double> cut = {0, 0, 0, 1, 10, 0, stop, 1, 10, 10, 1, 0, 10, 6};
        EXPECT_TRUE(hit(cut, 6, 5, 0.5) == 2 && hit(cut, 6, 10.5, 5) == 0 && hit(cut, 6, 5, 5) == 0) << stop;
    }
    EXPECT_EQ(PathOutlineHit(nullptr, 5, VX_FILL_NONZERO, 5, 5, 2), 0);
    // M 0 0, L 10 0, C 12 3 12 7 10 10, L 0 10, Z: each coordinate in turn made bad.
    const std::vector<double> base = {0, 0, 0, 1, 10, 0, 2, 12, 3, 12, 7, 10, 10, 1, 0, 10, 6};
    ::testing::internal::CaptureStdout();
    for (double v : {kNaN, kInf, -kInf, 1e300, 1e-300}) {
        for (size_t i : {1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 14, 15}) {
            std::vector<double> bad = base;
            bad[i] = v;
            EXPECT_LE(unsigned(hit(bad, 5, 5, 5, int32_t(i % 3))), 5u) << v;
        }
        // As the point's x: only 1e-300 is near something (the close, x = 0).
        EXPECT_EQ(hit(base, 5, v, 5), v == 1e-300 ? 5 : 0);
        EXPECT_EQ(hit(base, 5, 5, v, VX_FILL_EVENODD), v == 1e-300 ? 2 : 0);
    }
    ::testing::internal::GetCapturedStdout();
}

// The ellipse centred on (200, 150) with radii 120 and 80, as four cubics from the rightmost
// point round and back: the move, then each cubic's controls and end.
constexpr double kPi = 3.14159265358979323846, kX = 0.55228475 * 120, kY = 0.55228475 * 80;
const double kMarks[13][2] = {{320, 150},     {320, 150 + kY}, {200 + kX, 230}, {200, 230},     {200 - kX, 230},
                              {80, 150 + kY}, {80, 150},       {80, 150 - kY},  {200 - kX, 70}, {200, 70},
                              {200 + kX, 70}, {320, 150 - kY}, {320, 150}};

// Distance to a 2048-sided inscribed polygon, which strays at most 1.5e-4 from the ellipse.
double DistanceToEllipse(double x, double y) {
    double best = INFINITY;
    for (int i = 0; i < 2048; ++i) {
        const double a = 2 * kPi * i / 2048, b = 2 * kPi * (i + 1) / 2048, ax = 200 + 120 * std::cos(a);
        const double ay = 150 + 80 * std::sin(a), ex = 200 + 120 * std::cos(b) - ax, ey = 150 + 80 * std::sin(b) - ay;
        const double t = std::fmin(1, std::fmax(0, ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)));
        best = std::fmin(best, std::hypot(x - ax - t * ex, y - ay - t * ey));
    }
    return best;
}

TEST_F(HitTest, TenThousandRandomPointsAgreeWithTheAnalyticEllipse) {
    path->AddNode(VX_NODE_MOVE, kMarks[0][0], kMarks[0][1], 0, 0, 0, 0);
    for (const double(*m)[2] = kMarks + 1; m < kMarks + 13; m += 3) {
        path->AddNode(VX_NODE_CUBIC, m[0][0], m[0][1], m[1][0], m[1][1], m[2][0], m[2][1]);
    }
    path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    std::mt19937 gen(20240601u);
    auto uniform = [&gen] { return gen() / 4294967296.0; };  // the same with every library
    for (int i = 0; i < 10000; ++i) {
        // From 8000 on, the same screen ellipse through a transform and a scaling host.
        if (i == 8000) Map({0.5, 0, 0, 0.5, 10, -20}, 2, -20, 40);
        const int32_t rule = i < 7000 ? VX_FILL_NONZERO : i < 8500 ? VX_FILL_EVENODD : 0;
        Fill(rule);
        // Over the box and 30 beyond; every fourth point within 4 of the outline.
        const double u = uniform(), v = uniform(), r = 1 + (v - 0.5) * 8 / 80;
        const double x = i % 4 ? 50 + 300 * u : 200 + 120 * r * std::cos(2 * kPi * u);
        const double y = i % 4 ? 40 + 220 * v : 150 + 80 * r * std::sin(2 * kPi * u);
        Answer expected = kMiss;
        int m = 0;
        while (m < 13 && (std::fabs(x - kMarks[m][0]) > 4 || std::fabs(y - kMarks[m][1]) > 4)) ++m;
        const double d = DistanceToEllipse(x, y), ex = (x - 200) / 120, ey = (y - 150) / 80;
        if (m < 13) {  // node (m + 2) / 3; the move and each cubic's end are nodes
            const int point = m == 0 ? 0 : (m - 1) % 3;
            expected = {point == 2 || m == 0 ? kHitNode : kHitControl, (m + 2) / 3 * 256 + point};
        } else if (std::fabs(d - 2) < 0.1) {
            continue;  // too near the tolerance's edge: the cubics stray 0.033 from the ellipse
        } else if (d < 2 || (ex * ex + ey * ey < 1 && rule != 0)) {
            expected = kFigure;
        }
        log.Clear();
        ASSERT_EQ(Hit(x, y), expected) << i << " at " << x << ", " << y;
        // The box test rejects exactly outside the box widened by twice the mark size.
        const bool outside = std::fabs(x - 200) > 120 + 16 || std::fabs(y - 150) > 80 + 16;
        ASSERT_EQ(log.lines.size() == 2, outside) << x << ", " << y;
    }
}

}  // namespace
}  // namespace vx::test
