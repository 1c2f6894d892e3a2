// Edit agents: the matrices of moving, scaling and rotating, the template reference drag,
// the feedback they draw, and the commits through the host's approval brackets.
#include <cmath>
#include <limits>

#include "agents_fixture.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(AgentTest, HandleDragsScaleAboutTheOppositeHandle) {
    AddPathText(p1, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    // Each handle dragged by (10, 5): the factor is the new extent over the old one along
    // the handle's axes, about the opposite corner or edge.
    const struct {
        int32_t code;
        V matrix;
    } table[] = {
        {1, {1, 0, 0, 1, 10, 5}},       {17, {1, 0, 0, 1, 10, 5}},
        {2, {0.9, 0, 0, 1, 10, 0}},     {3, {0.9, 0, 0, 0.9, 10, 5}},
        {4, {1, 0, 0, 0.9, 0, 5}},      {5, {1.1, 0, 0, 0.9, 0, 5}},
        {6, {1.1, 0, 0, 1, 0, 0}},      {7, {1.1, 0, 0, 1.1, 0, 0}},
        {8, {1, 0, 0, 1.1, 0, 0}},      {9, {0.9, 0, 0, 1.1, 10, 0}},
        {11, {1, 0, 0, 1, 0, 0}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.code);
        CPathObjAgent agent;
        agent.Fill(nullptr, p1, true);
        agent.ScaleByHandle(p1, 50, 25, 60, 30, row.code);
        EXPECT_EQ(agent.ChangeKind(), 2);
        ExpectNear(Matrix(agent.EditMatrix()), row.matrix, 1e-12);
        ExpectNear(TransformOf(agent.CopyAt(0)), row.matrix, 1e-12);
    }

    // The left edge (code 2) dragged by the whole width onto its anchor would flatten the
    // box: refused, the previous matrix, copy and feedback stay. A shade less is accepted;
    // beyond the anchor the box is mirrored.
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);
    agent.ScaleByHandle(p1, 0, 25, 50, 25, 2);
    EXPECT_EQ(Matrix(agent.EditMatrix()), (V{0.5, 0, 0, 1, 50, 0}));
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{50, 0, 100, 50}));
    agent.DrawFeedback(&surface);
    const Lines before = log.lines;
    log.Clear();
    for (double x : {100.0, 99.95}) {
        agent.ScaleByHandle(p1, 0, 25, x, 25, 2);
        EXPECT_EQ(Matrix(agent.EditMatrix()), (V{0.5, 0, 0, 1, 50, 0})) << x;
        EXPECT_EQ(TransformOf(agent.CopyAt(0)), (V{0.5, 0, 0, 1, 50, 0})) << x;
    }
    agent.DrawFeedback(&surface);
    EXPECT_EQ(log.lines, before);
    agent.ScaleByHandle(p1, 0, 25, 99.9, 25, 2);
    ExpectNear(Matrix(agent.EditMatrix()), V{0.001, 0, 0, 1, 99.9, 0}, 1e-12);
    agent.ScaleByHandle(p1, 0, 25, 150, 25, 2);
    EXPECT_EQ(Matrix(agent.EditMatrix()), (V{-0.5, 0, 0, 1, 150, 0}));

    // A path turned by 90 degrees: its right edge (code 6) follows the turned x axis, so
    // dragging it 20 units down stretches the path's own x by 1.2 about its origin.
    SetTransform(p1, {0, 1, -1, 0, 0, 0});
    agent.Fill(nullptr, p1, true);
    agent.ScaleByHandle(p1, -25, 100, -25, 120, 6);
    ExpectNear(Matrix(agent.EditMatrix()), V{1, 0, 0, 1.2, 0, 0}, 1e-9);
    ExpectNear(TransformOf(agent.CopyAt(0)), V{0, 1.2, -1, 0, 0, 0}, 1e-9);
}

TEST_F(AgentTest, RotationTurnsAboutTheBoxCentreInSinglePrecision) {
    AddPathText(p1, "M 0 0 L 100 60");  // centre (50, 30)
    AddPathText(p2, "M 0 0 L 10 0");
    selection.Add(p1);
    selection.Add(p2);
    CPathObjAgent agent;
    agent.Fill(&selection, nullptr, true);
    // A quarter turn: the angle is pi/2 narrowed to single precision, whose sine is 1 and
    // whose cosine narrows to -4.371138828673793e-08.
    agent.Rotate(p1, 60, 30, 50, 40);
    const double c = -4.371138828673793e-08;
    const PathTransform& m = agent.EditMatrix();
    EXPECT_EQ((V{m.a, m.b, m.c, m.d}), (V{c, 1, -1, c}));
    EXPECT_EQ(m.e, 50 - c * 50 + 30);
    EXPECT_EQ(m.f, 30 - 50 - c * 30);
    double x, y;
    MapPoint(50, 30, m, &x, &y);
    ExpectNear(V{x, y}, V{50, 30}, 1e-12);
    MapPoint(100, 30, m, &x, &y);  // (1, 0) turns to (0, 1): y grows downward
    ExpectNear(V{x, y}, V{50, 80}, 1e-5);
    // Every copy turns with the same matrix, about the handle path's centre.
    EXPECT_EQ(TransformOf(agent.CopyAt(1)), Matrix(m));

    // Dragging back to the start gives no turn at all.
    agent.Rotate(p1, 60, 30, 60, 30);
    EXPECT_EQ(Matrix(agent.EditMatrix()), (V{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(agent.ChangeKind(), 2);
}

TEST_F(AgentTest, FeedbackCoversTheStartBoxAndDrawsTheHandlePathInFull) {
    TwoPaths();
    selection.Add(p2);
    selection.Add(p1);
    CPathObjAgent agent;
    agent.Fill(&selection, nullptr, true);
    ASSERT_EQ(agent.Count(), 2);
    EXPECT_EQ(agent.EditedAt(0), p2);  // selection order
    EXPECT_EQ(agent.EditedAt(1), p1);
    EXPECT_EQ(agent.ChangeKind(), -1);
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{0, 0, 300, 150}));

    agent.ScaleByHandle(p1, 0, 0, 10, 5, 17);
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{10, 5, 310, 155}));
    agent.DrawFeedback(&surface);
    EXPECT_EQ(log.lines,
              (Lines{"BeginPath null", "WantsFullFigure 210 105 310 155",
                     // p2 is not the handle path and the host wants no full figure: its box.
                     "MoveTo 210 105", "LineTo 310 105", "LineTo 310 155", "LineTo 210 155",
                     "ClosePath",
                     // p1 is dragged: box and outline, without asking the host.
                     "MoveTo 10 5", "LineTo 110 5", "LineTo 110 55", "LineTo 10 55",
                     "ClosePath", "MoveTo 10 5", "LineTo 110 5", "LineTo 110 55",
                     "LineTo 10 55", "ClosePath", "EndPath null 1"}));

    log.Clear();
    surface.wantsFullFigureResult = 1;
    agent.DrawFeedback(&surface);
    EXPECT_EQ(Lines(log.lines.begin(), log.lines.begin() + 4),
              (Lines{"BeginPath null", "WantsFullFigure 210 105 310 155", "MoveTo 210 105",
                     "LineTo 310 155"}));
    EXPECT_EQ(log.lines.size(), 4u + 10u + 1u);

    // Refilling starts over from the edited paths.
    agent.Fill(nullptr, p2, true);
    EXPECT_EQ(agent.Count(), 1);
    EXPECT_EQ(agent.ChangeKind(), -1);
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{200, 100, 300, 150}));
    EXPECT_EQ(TransformOf(agent.CopyAt(0)), (V{1, 0, 0, 1, 0, 0}));
}

TEST_F(AgentTest, CommitAsksTheHostForEachPathInsideOneBracket) {
    TwoPaths();
    SetTransform(p2, {2, 0, 0, 2, 0, 0});
    selection.Add(p1);
    selection.Add(p2);

    // Nothing computed: the host hears nothing at all.
    CPathObjAgent idle;
    idle.Fill(&selection, nullptr, true);
    idle.Commit(&host);
    EXPECT_TRUE(log.lines.empty());

    // A refusing host still sees the bracket closed; the paths stay as they were.
    CPathObjAgent agent;
    agent.Fill(&selection, nullptr, true);
    agent.ScaleByHandle(p1, 0, 0, 10, 5, 17);
    host.approveChange = 0;
    agent.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p1 2 1 0 0 1 10 5",
                                "ApprovePathChange p2 2 1 0 0 1 10 5", "EndChange"}));
    EXPECT_EQ(TransformOf(p1), (V{1, 0, 0, 1, 0, 0}));

    // Consent: each path's own transform followed by the move.
    log.Clear();
    host.approveChange = 1;
    agent.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p1 2 1 0 0 1 10 5",
                                "PathChanged p1 2", "ApprovePathChange p2 2 1 0 0 1 10 5",
                                "PathChanged p2 2", "EndChange"}));
    EXPECT_EQ(TransformOf(p1), (V{1, 0, 0, 1, 10, 5}));
    EXPECT_EQ(TransformOf(p2), (V{2, 0, 0, 2, 10, 5}));
    EXPECT_EQ(PathText(p2), "M 200 100 L 300 150");
}

TEST_F(AgentTest, ReferenceDragIsClampedAndRebuildsTheCopy) {
    MakeTemplatePath(p1);
    SetTransform(p1, {1, 0, 0, 1, 10, 20});
    ASSERT_EQ(PathText(p1), "M 0 0 L 50 25 L 100 50");
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);

    agent.DragTemplateValue(-1, 40, 60);  // no reference: nothing, not even the kind
    EXPECT_EQ(agent.ChangeKind(), -1);
    agent.Commit(&host);
    EXPECT_TRUE(log.lines.empty());

    // (40, 60) on the canvas is (30, 40) in the path: the values 0.3 and 0.8.
    auto* copy = static_cast<CVXPath*>(agent.CopyAt(0));
    agent.DragTemplateValue(0, 40, 60);
    EXPECT_EQ(agent.ChangeKind(), 3);
    EXPECT_EQ(PathText(copy), "M 0 0 L 30 40 L 100 50");
    EXPECT_EQ(copy->GetTemplateCopy()->references[0].x.value, VXTEXT("0.300000"));
    EXPECT_EQ(copy->ReferencePoints(), (V{30, 40, 50, 25}));
    EXPECT_EQ(TransformOf(copy), (V{1, 0, 0, 1, 10, 20}));
    // Outside the ranges: x stops at 0.9, y at 0.
    agent.DragTemplateValue(0, 200, 0);
    EXPECT_EQ(PathText(copy), "M 0 0 L 90 0 L 100 50");
    EXPECT_EQ(copy->GetTemplateCopy()->references[0].y.value, VXTEXT("0.000000"));
    // A reference without range texts is held at 0 and 0; one past the count is ignored.
    agent.DragTemplateValue(1, 70, 45);
    EXPECT_EQ(copy->ReferencePoints(), (V{90, 0, 0, 0}));
    agent.DragTemplateValue(2, 70, 45);
    EXPECT_EQ(copy->ReferencePoints(), (V{90, 0, 0, 0}));
    EXPECT_EQ(PathText(copy), "M 0 0 L 90 0 L 100 50");

    // While a reference is dragged the feedback adds the outline of the plain corners.
    surface.wantsFullFigureResult = 1;
    agent.DrawFeedback(&surface);
    EXPECT_EQ(log.Only({"WantsFullFigure", "ClosePath"}),
              (Lines{"WantsFullFigure 10 20 110 70", "ClosePath"}));
    log.Clear();

    agent.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p1 3 1 0 0 1 0 0",
                                "PathChanged p1 3", "EndChange"}));
    EXPECT_EQ(PathText(p1), "M 0 0 L 90 0 L 100 50");
    ASSERT_TRUE(p1->HasTemplate());
    EXPECT_EQ(p1->GetTemplateCopy()->references[0].x.value, VXTEXT("0.900000"));
    EXPECT_EQ(TransformOf(p1), (V{1, 0, 0, 1, 10, 20}));
}

TEST_F(AgentTest, NonFiniteInputAndHostPathsLeaveAGoodState) {
    // With no flat-box margin a horizontal line has no height: vertical scaling divides by
    // zero and is refused, as are NaN positions.
    g_parameters.FlatBoundsMargin = 0;
    AddPathText(p1, "M 0 0 L 100 0");
    MakeTemplatePath(p2);
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);
    agent.ScaleByHandle(p1, 0, 0, 10, 5, 17);
    for (int32_t code : {3, 4, 7, 8}) agent.ScaleByHandle(p1, 50, 0, 50, 10, code);
    agent.ScaleByHandle(p1, kNaN, 0, 10, 5, 17);
    agent.Rotate(p1, 0, 0, kNaN, 5);
    agent.ScaleByHandle(nullptr, 0, 0, 10, 5, 6);
    EXPECT_EQ(Matrix(agent.EditMatrix()), (V{1, 0, 0, 1, 10, 5}));
    EXPECT_EQ(TransformOf(agent.CopyAt(0)), (V{1, 0, 0, 1, 10, 5}));

    agent.Fill(nullptr, p2, true);
    agent.DragTemplateValue(0, kNaN, 5);
    EXPECT_EQ(PathText(agent.CopyAt(0)), "M 0 0 L 50 25 L 100 50");

    // A host's own path is edited through its interface alone.
    HostPath own;
    AddPathText(&own, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    log.Name(&own, "own");
    selection.Add(&own);
    agent.Fill(&selection, nullptr, true);
    agent.ScaleByHandle(&own, 100, 25, 150, 25, 6);
    agent.DrawFeedback(&surface);
    agent.DragTemplateValue(0, 10, 10);  // no template: the copy stays
    EXPECT_EQ(PathText(agent.CopyAt(0)), "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    agent.Commit(&host);  // nodes replaced by the copy's, with the copy's transform
    EXPECT_EQ(PathText(&own), "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    EXPECT_EQ(TransformOf(&own), (V{1.5, 0, 0, 1, 0, 0}));
    EXPECT_EQ(own.refs, 1);
    SetTransform(&own, {1, 0, 0, 1, 0, 0});

    CPathObjAgent scaler;
    scaler.Fill(&selection, nullptr, false);
    scaler.ScaleByHandle(&own, 100, 25, 150, 25, 6);
    log.Clear();
    scaler.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange own 2 1.5 0 0 1 0 0",
                                "PathChanged own 2", "EndChange"}));
    EXPECT_EQ(TransformOf(&own), (V{1.5, 0, 0, 1, 0, 0}));

    NodeEditAgent node;
    node.Start(&own, 1, 0);
    node.Move(5, 5);
    node.Move(kNaN, 0);
    EXPECT_TRUE(node.Commit(&host));
    EXPECT_EQ(PathText(&own), "M 0 0 L 103.33333333333333 5 L 100 50 L 0 50 Z");

    NodeEditAgent nothing;
    nothing.Start(nullptr, 0, 0);
    nothing.Move(1, 1);
    nothing.DrawFeedback(&surface);
    log.Clear();
    EXPECT_FALSE(nothing.Commit(&host));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(AgentTest, NodeMoveWithoutControlPutsTheNeighboursBack) {
    // Canvas = twice the path plus (100, 0): a canvas move of (10, 10) is (5, 5) in the path.
    AddPathText(p1, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0");
    SetTransform(p1, {2, 0, 0, 2, 100, 0});
    const struct {
        int32_t node, point;
        const char* result;
    } table[] = {
        {0, 0, "M 5 5 C 10 0 20 10 30 10 C 40 10 50 0 60 0"},
        {1, 0, "M 0 0 C 15 5 20 10 30 10 C 40 10 50 0 60 0"},
        {1, 1, "M 0 0 C 10 0 25 15 30 10 C 40 10 50 0 60 0"},
        {1, 2, "M 0 0 C 10 0 20 10 35 15 C 40 10 50 0 60 0"},
        {2, 2, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 65 5"},
        {2, 7, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0"},  // no such point
        {3, 0, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0"},  // no such node
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.result);
        NodeEditAgent agent;
        agent.Start(p1, row.node, row.point);
        agent.Move(3, 3);
        agent.Move(10, 10);  // from the original, not from the last move
        EXPECT_EQ(PathText(agent.WorkingCopy()), row.result);
    }
    EXPECT_EQ(PathText(p1), "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0");
}

TEST_F(AgentTest, NodeFeedbackShowsTheTangentsOfTheMovedPoint) {
    AddPathText(p1, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0 L 70 0");
    surface.drawMarkResult = 1;
    const Lines outline = {"MoveTo 0 0", "CurveTo 10 0 20 10 30 10", "CurveTo 40 10 50 0 60 0",
                           "LineTo 70 0"};
    const struct {
        int32_t node, point;
        Lines tangents;
    } table[] = {
        // A move followed by a cubic: the point and the cubic's first control.
        {0, 0, {"MoveTo 0 0", "LineTo 10 0"}},
        // The first control: from the previous end; the second or the end: on to the next
        // cubic's first control.
        {1, 0, {"MoveTo 0 0", "LineTo 10 0", "LineTo 20 10", "LineTo 30 10"}},
        {1, 2, {"MoveTo 10 0", "LineTo 20 10", "LineTo 30 10", "LineTo 40 10"}},
        {2, 0, {"MoveTo 20 10", "LineTo 30 10", "LineTo 40 10", "LineTo 50 0", "LineTo 60 0"}},
        {2, 1, {"MoveTo 40 10", "LineTo 50 0", "LineTo 60 0"}},  // a line follows
        {3, 0, {}},  // a line not followed by a cubic
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.node * 10 + row.point);
        NodeEditAgent agent;
        log.Name(agent.WorkingCopy(), "w");
        agent.Start(p1, row.node, row.point);
        log.Clear();
        agent.DrawFeedback(&surface);
        Lines expected = {"BeginPath w"};
        expected.insert(expected.end(), outline.begin(), outline.end());
        expected.insert(expected.end(), row.tangents.begin(), row.tangents.end());
        for (const std::string& line : row.tangents)
            expected.push_back("DrawMark " + line.substr(line.find(' ') + 1) + " 8 8 3");
        expected.push_back("EndPath w 1");
        EXPECT_EQ(log.lines, expected);
    }

    // Marks drawn by the library itself are circles; the tangents follow the transform.
    surface.drawMarkResult = 0;
    SetTransform(p1, {1, 0, 0, 1, 100, 0});
    NodeEditAgent agent;
    agent.Start(p1, 0, 0);
    log.Clear();
    agent.DrawFeedback(&surface);
    EXPECT_EQ(log.Only({"LineTo"}), (Lines{"LineTo 170 0", "LineTo 110 0"}));
    EXPECT_EQ(log.Only({"CurveTo"}).size(), 2u + 2u * 4u);
    // The box of the whole working copy (control points included), widened by half a mark.
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{96, -4, 174, 14}));
}

TEST_F(AgentTest, NodeCommitReplacesTheNodesAndDropsTheTemplate) {
    MakeTemplatePath(p1);
    NodeEditAgent agent;
    agent.Start(p1, 1, 0);
    agent.Move(10, -5);

    host.approveChange = 0;
    EXPECT_FALSE(agent.Commit(&host));
    EXPECT_EQ(log.lines,
              (Lines{"BeginChange", "ApprovePathChange p1 3 1 0 0 1 0 0", "EndChange"}));
    EXPECT_EQ(PathText(p1), "M 0 0 L 50 25 L 100 50");
    EXPECT_TRUE(p1->HasTemplate());

    log.Clear();
    host.approveChange = 1;
    EXPECT_TRUE(agent.Commit(&host));
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p1 3 1 0 0 1 0 0",
                                "PathChanged p1 3", "EndChange"}));
    EXPECT_EQ(PathText(p1), "M 0 0 L 60 20 L 100 50");
    EXPECT_FALSE(p1->HasTemplate());
    EXPECT_TRUE(p1->ReferencePoints().empty());
}

}  // namespace
}  // namespace vx::test
