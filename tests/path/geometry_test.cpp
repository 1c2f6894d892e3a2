// Boxes, corners and transforms, the parameters that shape them, and hostile values: every
// query and drawing call gives a defined result and never crashes.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "support/rows.h"
#include "path/marks.h"
#include "path_fixture.h"

namespace vx::test {
namespace {

V Six(const PathTransform& t) { return {t.a, t.b, t.c, t.d, t.e, t.f}; }

TEST(GeometryHelpers, ComposeInvertPointInRectAndUnion) {
    const Rect r{10, 10, 0, 0};
    for (const Row& row : ReadRows("path/transforms.txt")) {
        SCOPED_TRACE(row.where);
        const V n = NumberFields(row, 1);
        const auto at = [&n](size_t i) {
            return PathTransform{n[i], n[i + 1], n[i + 2], n[i + 3], n[i + 4], n[i + 5]};
        };
        PathTransform t;
        if (row.fields[0] == "compose" && n.size() == 18) {
            ComposeTransforms(at(0), at(6), &t);
            EXPECT_EQ(Six(t), V(n.begin() + 12, n.end()));
        } else if (row.fields[0] == "invert" && n.size() == 12) {
            t = at(0);
            InvertTransform(t, &t);
            EXPECT_EQ(Six(t), V(n.begin() + 6, n.end()));
        } else if (row.fields[0] == "inside" && n.size() == 3) {
            EXPECT_EQ(PointInRect(r, n[0], n[1]), n[2] != 0);
        } else {
            ADD_FAILURE() << "not a row of compose, invert or inside";
        }
    }

    Rect a{10, 10, 0, 0};
    UnionRect(&a, a, Rect{5, 20, 15, 12});
    EXPECT_EQ((V{a.x1, a.y1, a.x2, a.y2}), (V{0, 0, 15, 20}));
}

TEST_F(PathTest, BoxesStartAtTheFirstNodeFlatOnesWidenCornersFollowTheTransform) {
    AddPathText(path, "M 0 0 L 10 0");
    EXPECT_EQ(Corners(path), (V{0, -4, 10, -4, 0, 4, 10, 4}));
    EXPECT_EQ(Box(path, true), (V{0, 0, 10, 0}));
    EXPECT_EQ(Box(path), (V{0, -4, 10, 8}));
    // Oriented corners follow the flat-box margin, which a host may change at any time.
    EXPECT_EQ(Corners(path, true), (V{0, -4, 10, -4, 0, 4, 10, 4}));
    g_parameters.FlatBoundsMargin = 1;
    EXPECT_EQ(Corners(path, true), (V{0, -1, 10, -1, 0, 1, 10, 1}));
    g_parameters.FlatBoundsMargin = 4;

    path->ClearNodes();  // an empty path is a point at the origin, widened both ways
    EXPECT_EQ(Corners(path), (V{-4, -4, 4, -4, -4, 4, 4, 4}));
    EXPECT_EQ(Box(path, true), (V{0, 0, 0, 0}));

    AddPathText(path, "Z M 5 5 L 6 6");  // a close at (0, 0) first
    EXPECT_EQ(Box(path, true), (V{0, 0, 6, 6}));
    SetNodes("M 0 0 C 0 100 10 100 10 0");  // the control polygon, not the curve
    EXPECT_EQ(Box(path, true), (V{0, 0, 10, 100}));
    // The boxes follow every change of the nodes, writes through NodeAt included, even a
    // write after the boxes were asked for again.
    PathNode* node = path->NodeAt(1);
    EXPECT_EQ(Box(path, true), (V{0, 0, 10, 100}));
    EXPECT_EQ(Corners(path, true), (V{0, 0, 10, 0, 0, 100, 10, 100}));
    node->y2 = 300;
    EXPECT_EQ(Box(path, true), (V{0, 0, 10, 300}));
    EXPECT_EQ(Corners(path, true), (V{0, 0, 10, 0, 0, 300, 10, 300}));
    path->AddNode(VX_NODE_LINE, -7, 0, 0, 0, 0, 0);
    EXPECT_EQ(Box(path, true), (V{-7, 0, 17, 300}));
    // Unknown kinds count only as the first node; a later close is never looked at.
    SetNodes("N 9 -50 -50 0 0 0 0 M 1 1 N 9 500 500 0 0 0 0 Z");
    path->NodeAt(3)->x1 = 900;
    EXPECT_EQ(Box(path, true), (V{-50, -50, 51, 51}));

    SetNodes("M 0 0 L 10 0 L 10 20");
    SetTransform(path, {0, 1, -1, 0, 0, 0});  // a quarter turn is already square
    EXPECT_EQ(Corners(path), (V{0, 0, 0, 10, -20, 0, -20, 10}));
    EXPECT_EQ(Box(path), (V{-20, 0, 20, 10}));
    ExpectNear(Corners(path, true), Corners(path), 1e-12);

    SetTransform(path, {1, 0, 0.5, 1, 0, 0});  // b = 0: the sheared corners as they are
    EXPECT_EQ(Corners(path, true), (V{0, 0, 10, 0, 10, 20, 20, 20}));

    // Corners (0,0) (10,5) (0,10) (10,15) turned about their mean, squared to the farther
    // member of each pair and turned back: a rectangle with sides (14,7) and (-4,8).
    SetNodes("M 0 0 L 10 10");
    SetTransform(path, {1, 0.5, 0, 1, 0, 0});
    ExpectNear(Corners(path, true), {0, 0, 14, 7, -4, 8, 10, 15}, 1e-12);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The five fields in index order.
std::vector<double> Fields() {
    const GlobalParameters& g = g_parameters;
    return {double(g.MarkSize), g.FlatBoundsMargin, double(g.EdgeTolerance), double(g.HandleColor),
            double(g.OutlineColor)};
}

TEST_F(PathTest, ParameterDefaultsHoldAndIndicesOutsideZeroToFourChangeNothing) {
    const std::vector<double> defaults{8, 4.0, 2, 0xFF0000, 0x0000FF};
    EXPECT_EQ(Fields(), defaults);  // before any call
    for (int32_t index : {5, -1, INT32_MIN, INT32_MAX}) VX_SetParameters(index, 3.0);
    EXPECT_EQ(Fields(), defaults);
}

TEST_F(PathTest, ParameterSizesRoundHalfUpTowardZeroMarginIsExactColoursAreUnsigned) {
    // The fields by their index, VX_PARAM_MARK_SIZE (0) to VX_PARAM_OUTLINE_COLOR (4).
    const std::string names[] = {"MarkSize", "FlatBoundsMargin", "EdgeTolerance", "HandleColor", "OutlineColor"};
    for (const Row& row : ReadRows("path/parameters.txt", Split::kBars)) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 3u);
        const auto index = size_t(std::find(std::begin(names), std::end(names), row.fields[0]) - std::begin(names));
        ASSERT_LT(index, 5u);
        VX_SetParameters(int32_t(index), NumberField(row.fields[1]));
        EXPECT_EQ(Fields()[index], NumberField(row.fields[2]));
    }
    // Readers take a negative size as 2^32 plus it.
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, -1.5);
    EXPECT_EQ(g_parameters.EdgeToleranceValue(), 4294967295.0);
}

TEST_F(PathTest, NonFiniteInputsGiveDefinedResults) {
    // NaN never wins a comparison, so it stays only where it started the box.
    AddPathText(path, "M 0 0 L 10 5");
    path->NodeAt(0)->x1 = kNaN;
    V b = Box(path, true);
    EXPECT_TRUE(std::isnan(b[0]) && std::isnan(b[2]));
    EXPECT_EQ(V({b[1], b[3]}), (V{0, 5}));

    path->NodeAt(0)->x1 = kInf;
    path->NodeAt(1)->x1 = 0;
    EXPECT_EQ(Box(path, true), (V{0, 0, kInf, 5}));
    // The identity multiplies the infinite x by b = 0: corners 2 and 4 get a NaN y.
    const V c = Corners(path);
    EXPECT_EQ(V({c[0], c[1], c[2], c[5]}), (V{0, 0, kInf, 5}));
    EXPECT_TRUE(std::isnan(c[3]) && std::isnan(c[7]));
    EXPECT_EQ(V({Box(path)[0], Box(path)[2]}), (V{0, kInf}));

    // A NaN margin widens a flat box to NaN; a zero mark size draws empty squares.
    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, kNaN);
    SetNodes("M 1 1");
    EXPECT_TRUE(std::isnan(Corners(path)[0]));
    VX_SetParameters(VX_PARAM_MARK_SIZE, kNaN);
    PaintMark(&surface, 3, 4, VX_MARK_NODE);
    EXPECT_EQ(log.lines.back(), "Rectangle 3 4 0 0");

    // No transform makes a query or drawing crash.
    SetNodes("M 0 0 C 1 2 3 4 5 6 L 7 8 Z");
    const PathTransform hostile[] = {{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN},
                                     {1, 1e-300, 0, 1, 0, 0},
                                     {1e300, 1e300, -1e300, 1e300, 0, 0},
                                     {1, -kInf, kInf, 1, kNaN, 0}};
    surface.drawMarkResult = 1;
    for (const PathTransform& t : hostile) {
        SetTransform(path, t);
        Corners(path, true);
        path->Draw(&surface);
        path->DrawTracker(&surface, 0, true, true);
        path->DrawTracker(&surface, 1, true, true);
    }
    // A NaN in b is not 0, so the corners go through the squaring-up and come out NaN.
    SetTransform(path, hostile[0]);
    EXPECT_TRUE(std::isnan(Corners(path, true)[0]));
    // A transform with b = 1e-300 keeps a tiny turn: the corners come back unchanged.
    SetTransform(path, hostile[1]);
    ExpectNear(Corners(path, true), Corners(path), 1e-9);
}

}  // namespace
}  // namespace vx::test
