#include <cmath>

#include "path_fixture.h"

namespace vx::test {
namespace {

V Six(const PathTransform& t) { return {t.a, t.b, t.c, t.d, t.e, t.f}; }

TEST(GeometryHelpers, ComposeInvertPointInRectAndUnion) {
    // Mapping by the result is mapping by the first, then by the second.
    const PathTransform p{1, 2, 3, 4, 5, 6}, q{7, 8, 9, 10, 11, 12};
    const struct {
        PathTransform a, b;
        V c;
    } compose[] = {{p, q, {25, 28, 57, 64, 100, 112}}, {q, p, {31, 46, 39, 58, 52, 76}}};
    PathTransform c;
    for (const auto& r : compose) {
        ComposeTransforms(r.a, r.b, &c);
        EXPECT_EQ(Six(c), r.c);
    }

    // Inverted in place. A singular transform, and one whose determinant (2^-600 squared)
    // underflows to exactly 0, invert to the identity; 2^-500 squared is still normal.
    const struct {
        PathTransform t;
        V inverse;
    } invert[] = {
        {{2, 0, 0, 0, 5, 5}, Six(kIdentity)},
        {{0x1p-600, 0, 0, 0x1p-600, 0, 0}, Six(kIdentity)},
        {{2, 0, 0, 4, 10, 20}, {0.5, 0, 0, 0.25, -5, -5}},
        {{0, 1, -1, 0, 3, 4}, {0, -1, 1, 0, -4, 3}},
        {{0x1p-500, 0, 0, 0x1p-500, 0, 0}, {0x1p500, 0, 0, 0x1p500, 0, 0}},
    };
    for (auto r : invert) {
        InvertTransform(r.t, &r.t);
        EXPECT_EQ(Six(r.t), r.inverse);
    }

    // A rectangle is normalised, and its border is inside.
    const Rect r{10, 10, 0, 0};
    const struct {
        double x, y;
        bool inside;
    } points[] = {{0, 0, true},      {10, 10, true},           {5, 10, true},           {10.000001, 5, false},
                  {5, -1e-6, false}, {std::nan(""), 5, false}, {5, std::nan(""), false}};
    for (const auto& p : points) EXPECT_EQ(PointInRect(r, p.x, p.y), p.inside) << p.x << " " << p.y;

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

}  // namespace
}  // namespace vx::test
