// Edit agents: the matrices of moving, scaling and rotating, the template reference drag,
// the feedback they draw, and the commits through the host's approval brackets.
#include <limits>
#include <memory>

#include "agents_fixture.h"
#include "support/golden.h"
#include "support/host_path.h"
#include "templates/template_build.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Builds path in the frame (0, 0, 100, 50) from: move (0, 0), line (a, b), line (1, 1).
// Reference 0 binds a and b to 0.5 and 0.5 within [0.1, 0.9] and [0, 1]; reference 1
// has no range texts.
void MakeTemplatePath(CVXPath* path) {
    FigureTemplate t;
    const VXCHAR* coords[3][2] = {{VXTEXT("0"), VXTEXT("0")}, {VXTEXT("a"), VXTEXT("b")}, {VXTEXT("1"), VXTEXT("1")}};
    for (uint32_t i = 0; i < 3; ++i) {
        t.elements.emplace_back();
        t.elements.back().kind = i == 0 ? VX_NODE_MOVE : VX_NODE_LINE;
        t.elements.back().coords[0] = coords[i][0];
        t.elements.back().coords[1] = coords[i][1];
    }
    t.references.resize(2);
    t.references[0].x = {VXTEXT("0.5"), false, VXTEXT("a"), VXTEXT("0.1"), VXTEXT("0.9")};
    t.references[0].y = {VXTEXT("0.5"), false, VXTEXT("b"), VXTEXT("0"), VXTEXT("1")};
    t.references[1].x = {VXTEXT("0.5"), false, VXTEXT("c"), {}, {}};
    t.references[1].y = {VXTEXT("0.5"), false, VXTEXT("d"), {}, {}};
    const double frame[4] = {0, 0, 100, 50};
    ASSERT_TRUE(BuildPathFromTemplate(path, t, frame));
    path->AttachTemplate(&t);
}

TEST_F(AgentTest, HandleDragsScaleAboutTheOppositeHandle) {
    AddPathText(p1, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    // Each code dragged by (10, 5): new extent over old along the handle's axes, about
    // the opposite corner or edge; 1 and 17 move, other codes do nothing.
    const struct {
        int32_t code;
        V matrix;
    } table[] = {
        {1, {1, 0, 0, 1, 10, 5}},     {17, {1, 0, 0, 1, 10, 5}},   {2, {0.9, 0, 0, 1, 10, 0}},
        {3, {0.9, 0, 0, 0.9, 10, 5}}, {4, {1, 0, 0, 0.9, 0, 5}},   {5, {1.1, 0, 0, 0.9, 0, 5}},
        {6, {1.1, 0, 0, 1, 0, 0}},    {7, {1.1, 0, 0, 1.1, 0, 0}}, {8, {1, 0, 0, 1.1, 0, 0}},
        {9, {0.9, 0, 0, 1.1, 10, 0}}, {11, {1, 0, 0, 1, 0, 0}},
    };
    for (const auto& row : table) ExpectNear(DragMatrix(row.code, 50, 25, 60, 30), row.matrix, 1e-12);

    // The left edge dragged by the whole width onto its anchor: refused, and the previous
    // matrix, copy and feedback stay. A shade less is accepted; beyond, the box mirrors.
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);
    agent.ScaleByHandle(p1, 0, 25, 50, 25, 2);
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{50, 0, 100, 50}));
    agent.DrawFeedback(&surface);
    const Lines before = log.lines;
    for (double x : {100.0, 99.95}) agent.ScaleByHandle(p1, 0, 25, x, 25, 2);
    EXPECT_EQ(agent.ChangeKind(), 2);
    EXPECT_EQ(TransformOf(agent.CopyAt(0)), (V{0.5, 0, 0, 1, 50, 0}));
    agent.DrawFeedback(&surface);
    EXPECT_EQ(Lines(log.lines.begin() + before.size(), log.lines.end()), before);
    agent.ScaleByHandle(p1, 0, 25, 99.9, 25, 2);
    ExpectNear(Matrix(agent.EditMatrix()), V{0.001, 0, 0, 1, 99.9, 0}, 1e-12);
    EXPECT_EQ(DragMatrix(2, 0, 25, 150, 25), (V{-0.5, 0, 0, 1, 150, 0}));
}

TEST_F(AgentTest, RotationTurnsAboutTheBoxCentreInSinglePrecision) {
    AddPathText(p1, "M 0 0 L 100 60");  // centre (50, 30)
    AddPathText(p2, "M 0 0 L 10 0");
    selection.Add(p1);
    selection.Add(p2);
    CPathObjAgent agent;
    agent.Fill(&selection, nullptr, true);
    // A quarter turn: pi/2 narrowed to single precision, whose sine is 1 and whose cosine
    // narrows to -4.371138828673793e-08.
    agent.Rotate(p1, 60, 30, 50, 40);
    const double c = -4.371138828673793e-08;
    const PathTransform& m = agent.EditMatrix();
    EXPECT_EQ(Matrix(m), (V{c, 1, -1, c, 50 - c * 50 + 30, 30 - 50 - c * 30}));
    double x, y;
    MapPoint(50, 30, m, &x, &y);
    ExpectNear(V{x, y}, V{50, 30}, 1e-12);
    MapPoint(100, 30, m, &x, &y);  // y grows downward: (1, 0) turns to (0, 1)
    ExpectNear(V{x, y}, V{50, 80}, 1e-5);
    EXPECT_EQ(TransformOf(agent.CopyAt(1)), Matrix(m));  // every copy, about p1's centre
    agent.Rotate(p1, 60, 30, 60, 30);
    EXPECT_EQ(Matrix(agent.EditMatrix()), (V{1, 0, 0, 1, 0, 0}));
}

TEST_F(AgentTest, FeedbackAndCommitOfAMove) {
    AddPathText(p1, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    AddPathText(p2, "M 200 100 L 300 150");
    SetTransform(p2, {2, 0, 0, 2, -200, -100});  // on the canvas (200, 100)-(400, 200)
    selection.Add(p2);
    selection.Add(p1);
    CPathObjAgent agent;
    agent.Fill(&selection, nullptr, true);
    ASSERT_EQ(agent.Count(), 2);
    EXPECT_EQ(agent.EditedAt(0), p2);  // selection order
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{0, 0, 400, 200}));
    agent.Commit(&host);  // nothing computed: the host hears nothing at all
    EXPECT_TRUE(log.lines.empty());

    agent.ScaleByHandle(p1, 0, 0, 10, 5, 17);
    EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{10, 5, 410, 205}));
    agent.DrawFeedback(&surface);
    // p2's box only (the surface does not want its full figure), then p1, the dragged one, as
    // its box and its outline: MoveTo 10 5 ... ClosePath twice.
    EXPECT_TRUE(MatchesGolden(log.lines, "agents_FeedbackAndCommitOfAMove_1"));
    log.Clear();
    surface.wantsFullFigureResult = 1;  // p2 in full, without its box
    agent.DrawFeedback(&surface);
    EXPECT_EQ(Lines(log.lines.begin() + 2, log.lines.begin() + 5),
              (Lines{"MoveTo 210 105", "LineTo 410 205", "MoveTo 10 5"}));

    // A refusing host still sees the bracket closed; consent gives each path its own
    // transform followed by the move.
    log.Clear();
    host.approveChange = 0;
    agent.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p2 2 1 0 0 1 10 5",
                                "ApprovePathChange p1 2 1 0 0 1 10 5", "EndChange"}));
    EXPECT_EQ(TransformOf(p1), (V{1, 0, 0, 1, 0, 0}));
    log.Clear();
    host.approveChange = 1;
    agent.Commit(&host);
    EXPECT_EQ(log.Only({"PathChanged"}), (Lines{"PathChanged p2 2", "PathChanged p1 2"}));
    EXPECT_EQ(TransformOf(p1), (V{1, 0, 0, 1, 10, 5}));
    EXPECT_EQ(TransformOf(p2), (V{2, 0, 0, 2, -190, -95}));
    EXPECT_EQ(PathText(p2), "M 200 100 L 300 150");
}

TEST_F(AgentTest, ReferenceDragIsClampedAndRebuildsTheCopy) {
    MakeTemplatePath(p1);
    SetTransform(p1, {1, 0, 0, 1, 10, 20});
    ASSERT_EQ(PathText(p1), "M 0 0 L 50 25 L 100 50");
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);
    agent.DragTemplateValue(-1, 40, 60);  // no reference: not even the kind changes
    EXPECT_EQ(agent.ChangeKind(), -1);

    // (40, 60) on the canvas is (30, 40) in the path: the values 0.3 and 0.8.
    auto* copy = static_cast<CVXPath*>(agent.CopyAt(0));
    agent.DragTemplateValue(0, 40, 60);
    EXPECT_EQ(agent.ChangeKind(), 3);
    EXPECT_EQ(PathText(copy), "M 0 0 L 30 40 L 100 50");
    EXPECT_EQ(TemplateOf(copy)->references[0].x.value, VXTEXT("0.300000"));
    EXPECT_EQ(copy->ReferencePoints(), (V{30, 40, 50, 25}));
    // Outside the ranges x stops at 0.9 and y at 0; a reference without range texts is
    // held at 0 and 0; one past the count and a NaN point change nothing.
    agent.DragTemplateValue(0, 200, 0);
    agent.DragTemplateValue(1, 70, 45);
    agent.DragTemplateValue(2, 70, 45);
    agent.DragTemplateValue(0, kNaN, 45);
    EXPECT_EQ(PathText(copy), "M 0 0 L 90 0 L 100 50");
    EXPECT_EQ(copy->ReferencePoints(), (V{90, 0, 0, 0}));
    EXPECT_EQ(TransformOf(copy), (V{1, 0, 0, 1, 10, 20}));

    // The feedback adds the outline of the plain corners while a reference is dragged.
    surface.wantsFullFigureResult = 1;
    agent.DrawFeedback(&surface);
    EXPECT_EQ(log.Only({"WantsFullFigure", "ClosePath"}), (Lines{"WantsFullFigure 10 20 110 70", "ClosePath"}));
    log.Clear();
    agent.Commit(&host);
    EXPECT_EQ(log.lines, (Lines{"BeginChange", "ApprovePathChange p1 3 1 0 0 1 0 0", "PathChanged p1 3", "EndChange"}));
    EXPECT_EQ(PathText(p1), "M 0 0 L 90 0 L 100 50");
    ASSERT_TRUE(p1->HasTemplate());
    EXPECT_EQ(TemplateOf(p1)->references[0].x.value, VXTEXT("0.900000"));
}

TEST_F(AgentTest, NonFiniteMatricesNeverReachAPathAndHostPathsWork) {
    // Without a flat-box margin a horizontal line has no height: vertical scaling divides
    // by zero. That, NaN points and a missing handle path keep the last good state.
    g_parameters.FlatBoundsMargin = 0;
    AddPathText(p1, "M 0 0 L 100 0");
    CPathObjAgent agent;
    agent.Fill(nullptr, p1, true);
    agent.ScaleByHandle(p1, 0, 0, 10, 5, 17);
    for (int32_t code : {3, 4, 7, 8}) agent.ScaleByHandle(p1, 50, 0, 50, 10, code);
    agent.ScaleByHandle(p1, kNaN, 0, 10, 5, 17);
    agent.Rotate(p1, 0, 0, kNaN, 5);
    agent.ScaleByHandle(nullptr, 0, 0, 10, 5, 6);
    EXPECT_EQ(TransformOf(agent.CopyAt(0)), (V{1, 0, 0, 1, 10, 5}));

    // A host's own path is read and changed through its interface alone.
    HostPath own;
    AddPathText(&own, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    log.Name(&own, "own");
    selection.Add(&own);
    agent.Fill(&selection, nullptr, true);
    agent.ScaleByHandle(&own, 100, 25, 150, 25, 6);
    agent.DrawFeedback(&surface);
    log.Clear();
    agent.Commit(&host);
    EXPECT_EQ(log.lines,
              (Lines{"BeginChange", "ApprovePathChange own 2 1.5 0 0 1 0 0", "PathChanged own 2", "EndChange"}));
    agent.DragTemplateValue(0, 10, 10);  // no template: the copy stays
    agent.Commit(&host);
    EXPECT_EQ(PathText(&own), "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    EXPECT_EQ(TransformOf(&own), (V{1.5, 0, 0, 1, 0, 0}));

    NodeEditAgent node;
    node.Start(&own, 1, 0);
    node.Move(5, 5);
    node.Move(kNaN, 0);
    EXPECT_TRUE(node.Commit(&host));
    EXPECT_EQ(PathText(&own), "M 0 0 L 103.33333333333333 5 L 100 50 L 0 50 Z");
    EXPECT_EQ(own.refs, 1);
    NodeEditAgent nothing;
    nothing.Start(nullptr, 0, 0);
    nothing.Move(1, 1);
    log.Clear();
    EXPECT_FALSE(nothing.Commit(&host));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(AgentTest, NodeMovesPutTheNeighboursBackWithoutControl) {
    // Canvas = twice the path plus (100, 0): a canvas move of (10, 10) is (5, 5) here.
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
        NodeEditAgent agent;
        agent.Start(p1, row.node, row.point);
        agent.Move(3, 3);
        agent.Move(10, 10);  // from the original, not from the last move
        EXPECT_EQ(PathText(agent.WorkingCopy()), row.result);
    }
}

TEST_F(AgentTest, NodeFeedbackShowsTheTangentsOfTheMovedPoint) {
    AddPathText(p1, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0 L 70 0");
    surface.drawMarkResult = 1;
    const struct {
        int32_t node, point;
        Lines tangents;
    } table[] = {
        {0, 0, {"0 0", "10 0"}},  // a move followed by a cubic
        // The first control: from the previous end; another point: on to the next cubic.
        {1, 0, {"0 0", "10 0", "20 10", "30 10"}},
        {1, 2, {"10 0", "20 10", "30 10", "40 10"}},
        {2, 0, {"20 10", "30 10", "40 10", "50 0", "60 0"}},
        {2, 1, {"40 10", "50 0", "60 0"}},
        {3, 0, {}},  // a line followed by nothing
    };
    for (const auto& row : table) {
        NodeEditAgent agent;
        log.Name(agent.WorkingCopy(), "w");
        agent.Start(p1, row.node, row.point);
        log.Clear();
        agent.DrawFeedback(&surface);
        Lines expected = {"BeginPath w", "MoveTo 0 0", "CurveTo 10 0 20 10 30 10", "CurveTo 40 10 50 0 60 0",
                          "LineTo 70 0"};
        for (size_t i = 0; i < row.tangents.size(); ++i)
            expected.push_back((i ? "LineTo " : "MoveTo ") + row.tangents[i]);
        for (const std::string& point : row.tangents) expected.push_back("DrawMark " + point + " 8 8 3");
        expected.push_back("EndPath w 1");
        EXPECT_EQ(log.lines, expected);
        // The working copy's box, control points included, widened by half a mark.
        EXPECT_EQ(RectOf(agent.FeedbackRect()), (V{-4, -4, 74, 14}));
    }
}

}  // namespace
}  // namespace vx::test
