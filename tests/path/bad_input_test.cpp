// Hostile values: every query and drawing call gives a defined result and never crashes.
#include <cmath>
#include <limits>

#include "path/marks.h"
#include "path_fixture.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST_F(PathTest, NonFiniteNodesGiveDefinedBoxes) {
    // NaN never wins a comparison, so it stays only where it started the box.
    path->AddNode(VX_NODE_MOVE, kNaN, 0, 0, 0, 0, 0);
    path->AddNode(VX_NODE_LINE, 10, 5, 0, 0, 0, 0);
    std::vector<double> b = LocalBounds(path);
    EXPECT_TRUE(std::isnan(b[0]));
    EXPECT_EQ(b[1], 0);
    EXPECT_TRUE(std::isnan(b[2]));
    EXPECT_EQ(b[3], 5);

    path->ClearNodes();
    path->AddNode(VX_NODE_MOVE, kInf, 0, 0, 0, 0, 0);
    path->AddNode(VX_NODE_LINE, 0, 0, 0, 0, 0, 0);
    b = LocalBounds(path);
    EXPECT_EQ(b, (std::vector<double>{0, 0, kInf, 0}));
    // The identity multiplies the infinite x by b = 0: corners 2 and 4 get a NaN y.
    const std::vector<double> c = Corners(path);
    EXPECT_EQ(std::vector<double>(c.begin(), c.begin() + 3), (std::vector<double>{0, -4, kInf}));
    EXPECT_TRUE(std::isnan(c[3]));
    EXPECT_EQ(c[5], 4);
    EXPECT_TRUE(std::isnan(c[7]));
    b = Bounds(path);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[2], kInf);
}

TEST_F(PathTest, NonFiniteTransformsNeverCrashQueriesOrDrawing) {
    AddPathText(path, "M 0 0 C 1 2 3 4 5 6 L 7 8 Z");
    const PathTransform hostile[] = {
        {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}, {1, kInf, 0, 1, 0, 0}, {1, 1e-300, 0, 1, 0, 0},
        {1e300, 1e300, -1e300, 1e300, 0, 0},  {0, 0, 0, 0, 0, 0},    {1, -kInf, kInf, 1, kNaN, 0},
    };
    surface.drawMarkResult = 1;
    for (const PathTransform& t : hostile) {
        SetTransform(path, t);
        Corners(path);
        Bounds(path);
        const std::vector<double> o = Oriented(path);
        EXPECT_EQ(o.size(), 8u);
        path->Draw(&surface);
        path->DrawTracker(&surface, 0, true, true);
        path->DrawTracker(&surface, 1, true, true);
    }
    // A NaN in b is not 0, so the corners go through the squaring-up and come out NaN.
    SetTransform(path, hostile[0]);
    EXPECT_TRUE(std::isnan(Oriented(path)[0]));
    // A transform with b = 1e-300 keeps a tiny turn: the corners come back unchanged.
    SetTransform(path, hostile[2]);
    ExpectNear(Oriented(path), Corners(path), 1e-9);
}

TEST_F(PathTest, NonFiniteParametersAreStoredWithoutUndefinedConversions) {
    VX_SetParameters(VX_PARAM_MARK_SIZE, kNaN);
    EXPECT_EQ(g_parameters.MarkSize, 0);
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, 1e300);
    EXPECT_EQ(g_parameters.EdgeTolerance, std::numeric_limits<int32_t>::max());
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, -kInf);
    EXPECT_EQ(g_parameters.EdgeTolerance, std::numeric_limits<int32_t>::min());
    VX_SetParameters(VX_PARAM_HANDLE_COLOR, -5);
    EXPECT_EQ(g_parameters.HandleColor, 0u);
    VX_SetParameters(VX_PARAM_OUTLINE_COLOR, 1e10);
    EXPECT_EQ(g_parameters.OutlineColor, 0xFFFFFFFFu);
    VX_SetParameters(VX_PARAM_OUTLINE_COLOR, kNaN);
    EXPECT_EQ(g_parameters.OutlineColor, 0u);
    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, kNaN);
    AddPathText(path, "M 1 1");
    EXPECT_TRUE(std::isnan(Corners(path)[0]));
    // With a zero mark size the marks are empty squares at their points.
    PaintMark(&surface, 3, 4, VX_MARK_NODE);
    EXPECT_EQ(log.lines.back(), "Rectangle 3 4 0 0");
}

}  // namespace
}  // namespace vx::test
