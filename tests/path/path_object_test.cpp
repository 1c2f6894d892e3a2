// The path object: nodes, attached objects, clone and copy, and what it draws.
#include <limits>
#include <utility>

#include "path/marks.h"
#include "path_fixture.h"
#include "support/golden.h"
#include "support/host_path.h"

namespace vx::test {
namespace {

// Nodes and references of a new path: consumer_host checks them through the exports.
TEST_F(PathTest, NewPathHasTheIdentityAndNoTemplate) {
    double t[6];
    EXPECT_EQ(V(path->GetTransform(t), t + 6), (V{1, 0, 0, 1, 0, 0}));
    PathCreateParams params;
    params.count = 1234;
    EXPECT_FALSE(path->GetTemplateInfo(&params));
    EXPECT_EQ(params.count, 1234);  // left untouched
    EXPECT_EQ(path->SetTag(0xDEADBEEFu), 0xDEADBEEFu);
}

TEST_F(PathTest, AddNodesConvertsInputFormsThroughTheSharedCurrentPoint) {
    g_currentPoint = {0, 0};  // as when the library has just been loaded
    PathNode nodes[3] = {{VX_NODE_CUBIC_V, 77, 5, 5, 9, 9, 99, 99},
                         {VX_NODE_CUBIC_Y, 0, 1, 2, 3, 4, 98, 98},
                         {VX_NODE_RECT, 0, 10, 20, 30, 40, 97, 96}};
    path->AddNodes(nodes, 3);
    EXPECT_EQ(PathText(path), "C 0 0 5 5 9 9 C 1 2 3 4 3 4 M 10 20 L 40 20 L 40 60 L 10 60 Z");
    EXPECT_EQ(nodes[2].kind, VX_NODE_MOVE);  // the caller's record itself is relabelled
    EXPECT_EQ(path->NodeAt(0)->reserved, 77);
    // The relabelled rectangle keeps its other fields; the four nodes added after it are 0.
    for (int32_t i = 2; i < 7; ++i) {
        const PathNode& n = *path->NodeAt(i);
        EXPECT_EQ((V{double(n.reserved), n.x2, n.y2, n.x3, n.y3}), (i == 2 ? V{0, 30, 40, 97, 96} : V(5, 0.0))) << i;
    }

    // One current point for all paths: a line on another path moves it; a rectangle, a
    // close and an unknown kind do not; a cubic leaves it at its end.
    CVXPath* other = CVXPath::Create();
    other->AddNode(VX_NODE_LINE, 7, 8, 0, 0, 0, 0);
    SetNodes(
        "N 5 100 100 5 5 0 0 Z N -5 60 60 0 0 0 0 N 3 1 1 2 2 0 0 "
        "C 1 1 2 2 11 12 N 3 0 0 1 1 0 0");
    EXPECT_EQ(PathText(path),
              "M 100 100 L 105 100 L 105 105 L 100 105 Z Z N -5 60 60 0 0 0 0 "
              "C 7 8 1 1 2 2 C 1 1 2 2 11 12 C 11 12 0 0 1 1");
    EXPECT_EQ(other->Release(), 0);

    // Counts below 1 and a null array add nothing.
    for (int32_t count : {0, -1, std::numeric_limits<int32_t>::min()}) path->AddNodes(nodes, count);
    path->AddNodes(nullptr, 3);
    EXPECT_EQ(path->GetNodes(nullptr, 0), 10);
}

TEST_F(PathTest, GetNodesCountsCopiesAndRefusesNegativeMaxima) {
    AddPathText(path, "M 0 0 L 1 1 L 2 2 L 3 3 Z");
    PathNode buffer[6] = {};
    for (PathNode& b : buffer) b.kind = 55;
    EXPECT_EQ(path->GetNodes(nullptr, 5), 5);
    EXPECT_EQ(path->GetNodes(buffer, 0), 5);
    EXPECT_EQ(path->GetNodes(buffer, -3), -3);
    EXPECT_EQ(buffer[0].kind, 55);
    EXPECT_EQ(path->GetNodes(buffer, 2), 2);
    EXPECT_EQ(buffer[1].x1, 1);
    EXPECT_EQ(buffer[2].kind, 55);  // untouched beyond the maximum
    EXPECT_EQ(path->GetNodes(buffer, std::numeric_limits<int32_t>::max()), 5);
    EXPECT_EQ(buffer[4].kind, VX_NODE_CLOSE);

    EXPECT_EQ(path->NodeAt(-1), nullptr);
    EXPECT_EQ(path->NodeAt(5), nullptr);
}

TEST_F(PathTest, AttachedObjectsTakeTheNewReferenceBeforeReleasingTheOld) {
    CountedObject b(&log, "b");
    path->SetFillObject(&fill);
    path->SetFillObject(nullptr);  // releases the fill object and leaves none
    EXPECT_EQ(path->GetFillObject(), nullptr);
    path->SetUserObject(&user);
    path->SetUserObject(&b);
    path->SetUserObject(&b);               // the same object again never lets its count touch zero
    EXPECT_EQ(path->GetUserObject(), &b);  // adds no reference: b is released to 1 below
    path->SetFillObject(&fill);
    EXPECT_EQ(path->Release(), 0);  // destruction: the fill object, then the user object
    path = nullptr;
    EXPECT_EQ(log.lines, (Lines{"Release fill 1", "Release user 1", "Release b 2", "Release fill 1", "Release b 1"}));
}

TEST_F(PathTest, CloneAndCopyFromTakeNodesAndTransformButNotTheTag) {
    AddPathText(path, "M 1 2 C 3 4 5 6 7 8 Z N 9 1 1 1 1 1 1");
    SetTransform(path, {2, 0, 0, 2, 10, 20});
    path->SetTag(77);
    path->SetUserObject(&user);
    path->SetFillObject(&fill);
    IVXPath* copy = path->Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(PathText(copy), "M 1 2 C 3 4 5 6 7 8 Z N 9 1 1 1 1 1 1");
    double t[6];
    EXPECT_EQ(V(copy->GetTransform(t), t + 6), (V{2, 0, 0, 2, 10, 20}));
    EXPECT_EQ(copy->GetTag(), 0u);
    EXPECT_EQ(copy->GetUserObject(), &user);  // each with a reference of its own
    EXPECT_EQ(copy->GetFillObject(), &fill);
    EXPECT_EQ(std::make_pair(user.refs, fill.refs), std::make_pair(3, 3));
    EXPECT_EQ(copy->Release(), 0);
    EXPECT_EQ(std::make_pair(user.refs, fill.refs), std::make_pair(2, 2));

    // A path without nodes cannot be cloned, and as a source it (or null) changes nothing.
    CVXPath* source = CVXPath::Create();
    SetTransform(source, {3, 0, 0, 3, 0, 0});
    EXPECT_EQ(source->Clone(), nullptr);
    EXPECT_EQ(path->CopyFrom(source, 1), 0);
    EXPECT_EQ(path->CopyFrom(nullptr, 1), 0);
    EXPECT_EQ(PathText(path), "M 1 2 C 3 4 5 6 7 8 Z N 9 1 1 1 1 1 1");
    EXPECT_EQ(path->GetTransform(t)[0], 2);
    // CopyFrom keeps the target's tag and objects.
    AddPathText(source, "M 9 9 L 8 8 Z");
    EXPECT_EQ(path->CopyFrom(source, 0), 1);
    EXPECT_EQ(PathText(path), "M 9 9 L 8 8 Z");
    EXPECT_EQ(path->GetTransform(t)[0], 3);
    EXPECT_EQ(path->GetTag(), 77u);
    EXPECT_EQ(path->GetUserObject(), &user);
    EXPECT_EQ(source->Release(), 0);

    // A host's own path: read through the interface, with no template copy to read
    // whatever HasTemplate says.
    HostPath foreign;
    foreign.claims_template = true;
    AddPathText(&foreign, "L 6 7");
    SetTransform(&foreign, {1, 0, 0, 1, 4, 4});
    EXPECT_EQ(path->CopyFrom(&foreign, 1), 1);
    EXPECT_EQ(PathText(path), "L 6 7");
    EXPECT_EQ(Box(path), (V{6, 7, 8, 8}));  // a point widened by 4, moved by (4, 4)
}

TEST_F(PathTest, DrawEmitsTransformedCommandsInsideTheBracket) {
    path->DrawPath(&surface, 1, false);  // an empty path: the bracket alone, or nothing
    path->DrawPath(&surface, 1, true);
    AddPathText(path, "M 0 0 L 10 0 N 9 1 1 1 1 1 1 C 0 10 10 10 10 0 Z N -1 3 3 3 3 3 3");
    SetTransform(path, {1, 0, 0, 1, 5, 7});
    path->Draw(&surface);
    EXPECT_EQ(log.lines, (Lines{"BeginPath p", "EndPath p 1", "BeginPath p", "MoveTo 5 7", "LineTo 15 7",
                                "CurveTo 5 17 15 17 15 7", "ClosePath", "EndPath p 0"}));
}

TEST_F(PathTest, MarksAreQuarterArcsOrSquaresCentredWithIntegerHalving) {
    PaintMark(&surface, 100, 50, VX_MARK_CENTER);
    PaintMark(&surface, 0, 0, VX_MARK_CONTROL);
    EXPECT_TRUE(MatchesGolden(Lines(log.lines.begin(), log.lines.begin() + 8),
                              "drawing_MarksAreQuarterArcsOrSquaresCentredWithIntegerHalving_1"));
    log.Clear();
    PaintMark(&surface, 100, 50, VX_MARK_NODE);
    VX_SetParameters(VX_PARAM_MARK_SIZE, 7);
    PaintMark(&surface, 10, 10, VX_MARK_BOX_HANDLE);
    PaintMark(&surface, 10, 10, VX_MARK_REFERENCE);
    VX_SetParameters(VX_PARAM_MARK_SIZE, -1.7);  // stores -1, read as 2^32 - 1
    PaintMark(&surface, 10, 10, VX_MARK_NODE);
    EXPECT_TRUE(MatchesGolden(log.lines, "drawing_MarksAreQuarterArcsOrSquaresCentredWithIntegerHalving_2"));
    // A host that draws the marks itself gets no substitute, whatever the type.
    log.Clear();
    surface.drawMarkResult = 1;
    for (int32_t type = 0; type <= 4; ++type) PaintMark(&surface, 1, 2, type);
    EXPECT_EQ(log.lines.size(), 5u);
}

TEST_F(PathTest, TrackerDrawsTheBoxInObjectModeAndArmsInNodeMode) {
    surface.drawMarkResult = 1;
    AddPathText(path, "M 0 0 L 10 0 L 10 20");
    path->DrawTracker(&surface, 0, true, true);
    path->DrawTracker(&surface, 2, true, true);  // any other mode: the bracket alone
    EXPECT_TRUE(MatchesGolden(log.lines, "drawing_TrackerDrawsTheBoxInObjectModeAndArmsInNodeMode_3"));

    log.Clear();
    SetNodes("M 0 0 C 0 10 10 10 10 0 Z");
    path->DrawTracker(&surface, 1, true, true);
    EXPECT_TRUE(MatchesGolden(log.lines, "drawing_TrackerDrawsTheBoxInObjectModeAndArmsInNodeMode_4"));
    // The anchor starts at (0, 0) in canvas space, untransformed; kind 9 does not move it.
    log.Clear();
    SetNodes("C 1 1 2 2 3 3 N 9 50 50 50 50 50 50 C 4 4 5 5 6 6");
    SetTransform(path, {1, 0, 0, 1, 100, 0});
    path->DrawTracker(&surface, 1, false, false);
    EXPECT_EQ(log.lines, (Lines{"MoveTo 0 0", "LineTo 101 1", "MoveTo 102 2", "LineTo 103 3", "MoveTo 103 3",
                                "LineTo 104 4", "MoveTo 105 5", "LineTo 106 6"}));
}

}  // namespace
}  // namespace vx::test
