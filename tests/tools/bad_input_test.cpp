// Hostile hosts and huge gestures: defined results, balanced brackets, no hang.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tool_fixture.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

class NaNHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;
    void AdjustPoint(double* x, double* y) override {
        *x = std::numeric_limits<double>::quiet_NaN();
        *y = std::numeric_limits<double>::quiet_NaN();
    }
    void ToScreen(double* x, double* y) override { AdjustPoint(x, y); }
};

// Counts surface calls without keeping them, for gestures too long to log.
class CountingSurface : public RecordingSurface {
public:
    explicit CountingSurface(CallLog& log) : RecordingSurface(log) {}
    void MoveTo(double, double) override { ++calls; }
    void LineTo(double, double) override { ++lineTo; }
    void BeginPath(IVXPath*) override { ++calls; }
    void EndPath(IVXPath*, int32_t) override { ++calls; }
    void RestoreOverlay(int32_t, const double*) override { ++calls; }
    void ShowOverlay(int32_t, const double*) override { ++calls; }
    long calls = 0;
    long lineTo = 0;
};

class BadInput : public ToolTest {};

TEST_F(BadInput, AHostMappingEveryPointToNaNGetsDefinedResults) {
    NaNHost nanHost(log, &surface);
    struct Case {
        const BuiltinTool& tool;
        bool result;
        int32_t nodes;
    } cases[] = {
        {kBuiltinTools[0], true, 2},   // line: NaN never equals NaN, so not refused
        {kBuiltinTools[1], true, 5},   // rectangle: likewise
        {kBuiltinTools[2], true, 2},   // polygon: NaN is in no near box; Esc finishes
        {kBuiltinTools[3], false, 0},  // Bezier: Esc with the rubber curve only cancels
        {kBuiltinTools[4], true, 2},   // free hand: NaN is off every line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tool " << (&c.tool - kBuiltinTools));
        log.Clear();
        path->ClearNodes();
        IVXFigures* t = c.tool.create();
        events.Drag(20, 20).Drag(40, 40).Release(40, 40).KeyDown(0x1B);
        events.Play();
        EXPECT_EQ(t->Draw(c.tool.name, 10, 10, &nanHost, nullptr, path), c.result);
        EXPECT_EQ(path->GetNodes(nullptr, 0), c.nodes);
        ASSERT_GE(log.lines.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(log.lines.end() - 3, log.lines.end()), Finishing());
        EXPECT_EQ(t->Release(), 0);
        events.Leftover();
    }
    // A NaN press position and mapping: the press pixel is 0, the gesture still ends.
    IVXFigures* line = CreateLineTool();
    events.Drag(0, 0).Drag(5, 5).Release(5, 5);
    events.Play();
    path->ClearNodes();
    EXPECT_TRUE(line->Draw(VXTEXT("Line"), std::nan(""), -std::nan(""), &nanHost, nullptr, path));
    EXPECT_EQ(line->Release(), 0);
}

TEST_F(BadInput, AHostRefusingEveryPointStillEndsEveryGesture) {
    host.acceptTrackPoint = 0;
    // The line and rectangle Draw do not look at the answer; the placing loop does.
    tool = CreateLineTool();
    events.Drag(40, 30).Release(40, 30);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 40 30");

    path->ClearNodes();
    log.Clear();
    events.Move(40, 30).Move(50, 50).Release(50, 50);
    EXPECT_TRUE(Place(100, 100, 10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), {"AcceptTrackPoint 40 30 1", "AcceptTrackPoint 50 50 1"},
                                Finishing()}));
    EXPECT_EQ(PathText(path), "M 95 95 L 105 105");
}

TEST_F(BadInput, PressPositionsBeyondThe32BitRangeSaturate) {
    tool = CreateRectangleTool();
    events.Drag(10, 10).Release(10, 10);
    EXPECT_TRUE(Draw(1e300, -1e300));
    EXPECT_EQ(log.Only({"Rectangle"}),
              (std::vector<std::string>{"Rectangle 2147483647 -2147483648 -2147483637 2147483658"}));
}

TEST_F(BadInput, APolygonOfOneHundredThousandVertices) {
    tool = CreatePolygonTool();
    CountingSurface counting(log);
    Host big(log, &counting);
    constexpr int kVertices = 100000;
    // Releases 10 pixels apart on rows of 300, so none falls in the near box of the last.
    for (int i = 1; i < kVertices; ++i) events.Release((i % 300) * 10, (i / 300) * 10 + 10);
    events.Move(3000, 3000).KeyDown(0x1B);
    events.Play();
    EXPECT_TRUE(tool->Draw(VXTEXT("Polygon"), 0, 10, &big, nullptr, path));
    EXPECT_EQ(counting.lineTo, kVertices);  // the one frame: every vertex but the first, and C
    ASSERT_EQ(path->GetNodes(nullptr, 0), kVertices);
    PathNode last{};
    EXPECT_EQ(path->GetNodes(nullptr, 0), kVertices);
    last = *path->NodeAt(kVertices - 1);
    EXPECT_EQ(last.kind, VX_NODE_LINE);
    EXPECT_EQ(last.x1, ((kVertices - 1) % 300) * 10);
    EXPECT_EQ(last.y1, ((kVertices - 1) / 300) * 10 + 10);
}

TEST_F(BadInput, AFreeHandStrokeDrawnThroughTheLoop) {
    // Every recorded point redraws the whole stroke, so a drawn stroke is kept to
    // ten thousand points; the thinning of a far longer one is below.
    tool = CreateFreeHandTool();
    CountingSurface counting(log);
    Host big(log, &counting);
    constexpr int kPoints = 10000;
    for (int i = 1; i <= kPoints; ++i) events.Drag((i % 2) * 3 + (i / 2) * 6, (i % 2) * 3);
    events.Release(0, 0);
    events.Play();
    EXPECT_TRUE(tool->Draw(VXTEXT("Free Hand"), 0, 0, &big, nullptr, path));
    EXPECT_EQ(counting.lineTo, static_cast<long>(kPoints) * (kPoints + 1) / 2);
    // A zigzag leaves every run at once: all points but node 1 are written.
    EXPECT_EQ(path->GetNodes(nullptr, 0), kPoints);
}

TEST(BadInputThinning, OneHundredThousandPointsInOnePass) {
    constexpr int kPoints = 100000;
    CVXPath* straight = CVXPath::Create();
    CVXPath* zigzag = CVXPath::Create();
    straight->AddNode(VX_NODE_MOVE, 0, 0, 0, 0, 0, 0);
    zigzag->AddNode(VX_NODE_MOVE, 0, 0, 0, 0, 0, 0);
    for (int i = 1; i < kPoints; ++i) {
        straight->AddNode(VX_NODE_LINE, i * 3.0, i * 1.5, 0, 0, 0, 0);
        zigzag->AddNode(VX_NODE_LINE, i * 3.0, (i % 2) * 3.0, 0, 0, 0, 0);
    }
    tools::ThinStroke(straight);
    tools::ThinStroke(zigzag);
    EXPECT_EQ(PathText(straight), "M 0 0 L 299997 149998.5");
    EXPECT_EQ(zigzag->GetNodes(nullptr, 0), kPoints - 1);
    EXPECT_EQ(straight->Release(), 0);
    EXPECT_EQ(zigzag->Release(), 0);
}

}  // namespace
}  // namespace vx::test
