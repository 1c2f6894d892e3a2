// Hostile values: every query and drawing call gives a defined result and never crashes.
#include <cmath>
#include <limits>

#include "path/marks.h"
#include "path_fixture.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

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
