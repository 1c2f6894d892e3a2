#include <cmath>
#include <limits>

#include "path_fixture.h"

namespace vx::test {
namespace {

std::vector<double> Six(const PathTransform& t) { return {t.a, t.b, t.c, t.d, t.e, t.f}; }

TEST(TransformHelpers, ComposeMapsByTheFirstThenTheSecond) {
    const PathTransform scale{2, 0, 0, 2, 0, 0};
    const PathTransform move{1, 0, 0, 1, 5, 7};
    const PathTransform quarter{0, 1, -1, 0, 0, 0};  // (x, y) -> (-y, x)
    PathTransform c;
    ComposeTransforms(scale, move, &c);
    EXPECT_EQ(Six(c), (std::vector<double>{2, 0, 0, 2, 5, 7}));
    ComposeTransforms(move, scale, &c);
    EXPECT_EQ(Six(c), (std::vector<double>{2, 0, 0, 2, 10, 14}));
    ComposeTransforms(quarter, PathTransform{1, 0, 0, 1, 3, 4}, &c);
    EXPECT_EQ(Six(c), (std::vector<double>{0, 1, -1, 0, 3, 4}));
    ComposeTransforms(PathTransform{1, 0, 0, 1, 3, 4}, quarter, &c);
    EXPECT_EQ(Six(c), (std::vector<double>{0, 1, -1, 0, -4, 3}));
    double x, y;
    MapPoint(1, 0, c, &x, &y);
    EXPECT_EQ(x, -4);
    EXPECT_EQ(y, 4);
}

TEST(TransformHelpers, InvertGivesTheInverseOrTheIdentity) {
    PathTransform u{9, 9, 9, 9, 9, 9};
    InvertTransform(PathTransform{2, 0, 0, 0, 5, 5}, &u);
    EXPECT_EQ(Six(u), Six(kIdentity));
    InvertTransform(PathTransform{2, 0, 0, 4, 10, 20}, &u);
    EXPECT_EQ(Six(u), (std::vector<double>{0.5, 0, 0, 0.25, -5, -5}));
    // In place, and composed with the original it is the identity.
    const PathTransform t{0.6, 0.8, -0.8, 0.6, 12, -3};
    PathTransform inv = t;
    InvertTransform(inv, &inv);
    PathTransform id;
    ComposeTransforms(t, inv, &id);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(Six(id)[i], Six(kIdentity)[i], 1e-12) << i;
    // A determinant that is tiny but not zero is still inverted; one that underflows to
    // zero is not.
    InvertTransform(PathTransform{1e-150, 0, 0, 1e-150, 0, 0}, &u);
    EXPECT_DOUBLE_EQ(u.a, 1e150);
    InvertTransform(PathTransform{1e-200, 0, 0, 1e-200, 0, 0}, &u);
    EXPECT_EQ(Six(u), Six(kIdentity));
}

TEST(RectHelpers, PointInRectNormalisesAndIncludesTheBorder) {
    const Rect r{10, 10, 0, 0};
    EXPECT_TRUE(PointInRect(r, 0, 0));
    EXPECT_TRUE(PointInRect(r, 10, 10));
    EXPECT_TRUE(PointInRect(r, 5, 10));
    EXPECT_FALSE(PointInRect(r, 10.000001, 5));
    EXPECT_FALSE(PointInRect(r, 5, -0.000001));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(PointInRect(r, nan, 5));
    EXPECT_FALSE(PointInRect(r, 5, nan));

    Rect a{10, 10, 0, 0};
    UnionRect(&a, a, Rect{5, 20, 15, 12});
    EXPECT_EQ(a.x1, 0);
    EXPECT_EQ(a.y1, 0);
    EXPECT_EQ(a.x2, 15);
    EXPECT_EQ(a.y2, 20);
}

TEST_F(PathTest, FlatBoxesAreWidenedByTheMargin) {
    AddPathText(path, "M 0 0 L 10 0");
    EXPECT_EQ(Corners(path), (std::vector<double>{0, -4, 10, -4, 0, 4, 10, 4}));
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{0, 0, 10, 0}));
    EXPECT_EQ(Bounds(path), (std::vector<double>{0, -4, 10, 8}));

    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, 2.75);
    EXPECT_EQ(Corners(path), (std::vector<double>{0, -2.75, 10, -2.75, 0, 2.75, 10, 2.75}));

    // An empty path is a point at the origin, widened both ways.
    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, 4);
    path->ClearNodes();
    EXPECT_EQ(Corners(path), (std::vector<double>{-4, -4, 4, -4, -4, 4, 4, 4}));
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{0, 0, 0, 0}));
}

TEST_F(PathTest, LocalBoxStartsAtTheFirstNodeAndCoversControlPolygons) {
    AddPathText(path, "Z M 5 5 L 6 6");  // a close at (0, 0) first
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{0, 0, 6, 6}));

    path->ClearNodes();
    AddPathText(path, "M 0 0 C 0 100 10 100 10 0");
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{0, 0, 10, 100}));

    // Unknown kinds count only as the first node; a later close is never looked at.
    path->ClearNodes();
    AddPathText(path, "N 9 -50 -50 0 0 0 0 M 1 1 N 9 500 500 0 0 0 0 Z");
    path->NodeAt(3)->x1 = 900;
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{-50, -50, 51, 51}));
}

TEST_F(PathTest, BoundsAreTheAxisAlignedBoxOfTheTransformedCorners) {
    AddPathText(path, "M 0 0 L 10 0 L 10 20");
    SetTransform(path, {0, 1, -1, 0, 0, 0});
    EXPECT_EQ(Corners(path), (std::vector<double>{0, 0, 0, 10, -20, 0, -20, 10}));
    EXPECT_EQ(Bounds(path), (std::vector<double>{-20, 0, 20, 10}));
}

TEST_F(PathTest, OrientedCornersOfAShearWithoutBAreTheCorners) {
    AddPathText(path, "M 0 0 L 10 20");
    SetTransform(path, {1, 0, 0.5, 1, 0, 0});
    EXPECT_EQ(Oriented(path), Corners(path));
    EXPECT_EQ(Corners(path), (std::vector<double>{0, 0, 10, 0, 10, 20, 20, 20}));
}

TEST_F(PathTest, OrientedCornersSquareUpAVerticalShear) {
    // Corners (0,0) (10,5) (0,10) (10,15) turned about their mean, squared to the farther
    // member of each pair and turned back: a rectangle with sides (14,7) and (-4,8).
    AddPathText(path, "M 0 0 L 10 10");
    SetTransform(path, {1, 0.5, 0, 1, 0, 0});
    ExpectNear(Oriented(path), {0, 0, 14, 7, -4, 8, 10, 15}, 1e-12);

    // A pure rotation is already square: the corners come back as they are.
    SetTransform(path, {0, 1, -1, 0, 0, 0});
    ExpectNear(Oriented(path), Corners(path), 1e-12);
}

}  // namespace
}  // namespace vx::test
