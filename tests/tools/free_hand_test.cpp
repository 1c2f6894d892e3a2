// CFreeHand: the 3-pixel recording step, the stroke drawn by the path itself, thinning.
#include <gtest/gtest.h>

#include <cmath>

#include "tool_fixture.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

using tools::CanvasPoint;
using tools::ClassifyPointOnSegment;

class FreeHandTool : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreateFreeHandTool();
    }
};

TEST_F(FreeHandTool, RecordsEveryThreePixelsAndDrawsTheWholeStroke) {
    events.Drag(12, 12)   // 2 pixels on both axes: not recorded
        .Drag(13, 10)     // 3 on x
        .Press(20, 20)    // presses are dispatched
        .Drag(16, 10)
        .Release(16, 10);
    EXPECT_TRUE(Draw(10.5, 10.5));
    EXPECT_EQ(log.lines,
              Lines({Opening(),
                     {"AcceptTrackPoint 13 10 1", "RestoreOverlay 7 10 10 10 10", "BeginPath p",
                      "MoveTo 10 10", "LineTo 13 10", "EndPath p 1", "ShowOverlay 7 10 10 13 10",
                      "AcceptTrackPoint 16 10 1", "RestoreOverlay 7 10 10 13 10", "BeginPath p",
                      "MoveTo 10 10", "LineTo 13 10", "LineTo 16 10", "EndPath p 1",
                      "ShowOverlay 7 10 10 16 10"},
                     Finishing()}));
    EXPECT_EQ(events.dispatched, (std::vector<std::string>{"w0 0x0201 1 1310740"}));
    EXPECT_EQ(PathText(path), "M 10 10 L 16 10");  // thinned: the run ends at its last point
}

TEST_F(FreeHandTool, FeedbackBoxIsThatOfTheStartAndTheNewPointOnly) {
    events.Drag(30, 0).Drag(10, 0).Drag(20, 3).Release(0, 0);
    EXPECT_TRUE(Draw(0, 0));
    EXPECT_EQ(log.Only({"RestoreOverlay", "ShowOverlay"}),
              (std::vector<std::string>{"RestoreOverlay 7 0 0 0 0", "ShowOverlay 7 0 0 30 0",
                                        "RestoreOverlay 7 0 0 30 0", "ShowOverlay 7 0 0 30 0",
                                        "RestoreOverlay 7 0 0 10 0", "ShowOverlay 7 0 0 20 3"}));
}

TEST_F(FreeHandTool, ThinningKeepsThePointThatLeavesARun) {
    struct Case {
        std::vector<std::pair<int, int>> moves;
        const char* written;
    } cases[] = {
        {{{3, 0}, {6, 0}, {6, 3}, {6, 6}}, "M 0 0 L 6 3 L 6 6"},
        {{{3, 0}, {6, 0}, {9, 0}, {12, 0}, {15, 0}}, "M 0 0 L 15 0"},
        {{{3, 0}}, "M 0 0"},  // one recorded move: the move alone, and true
        {{{3, 0}, {6, 3}, {9, 6}, {12, 9}}, "M 0 0 L 6 3 L 12 9"},
        {{{3, 0}, {6, 0}, {3, 0}, {0, 0}}, "M 0 0 L 3 0 L 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        path->ClearNodes();
        for (const auto& m : c.moves) events.Drag(m.first, m.second);
        events.Release(0, 0);
        EXPECT_TRUE(Draw(0, 0));
        EXPECT_EQ(PathText(path), c.written);
    }
}

TEST_F(FreeHandTool, ReleaseWithNothingRecordedCancelsAndLeavesTheMove) {
    events.Drag(6, 7).Drag(3, 3).Release(6, 7);  // 1 and 2 pixels away: nothing recorded
    EXPECT_FALSE(Draw(5, 5));
    EXPECT_EQ(log.lines, Lines({Opening(), Cancelling()}));
    EXPECT_EQ(PathText(path), "M 5 5");  // the editor discards the path
}

TEST(FreeHandThinning, ClassifyPointOnSegment) {
    const CanvasPoint a{0, 0}, b{10, 0};
    struct Case {
        CanvasPoint p;
        bool side;
        int32_t expected;
    } cases[] = {
        {{15, 1}, true, 2},    {{15, 1.01}, true, 0}, {{5, 1}, true, 3},   {{-5, 0.5}, true, 1},
        {{0, 0}, true, 6},     {{10, 0}, true, 7},    {{11, -1}, true, 3}, {{15, 1}, false, 0},
        {{-5, 0.5}, false, 0}, {{5, 1}, false, 3},    {{5, 2}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y << " side " << c.side);
        EXPECT_EQ(ClassifyPointOnSegment(a, b, c.p, c.side, 1.0f), c.expected);
    }
    // A degenerate segment measures no distance: every point is "on the line".
    EXPECT_EQ(ClassifyPointOnSegment(a, a, CanvasPoint{50, 50}, true, 1.0f), 2);
    EXPECT_EQ(ClassifyPointOnSegment(a, a, CanvasPoint{0.5, 0.5}, true, 1.0f), 3);
    // NaN is off the line.
    EXPECT_EQ(ClassifyPointOnSegment(a, b, CanvasPoint{std::nan(""), 0}, true, 1.0f), 0);
}

TEST(FreeHandThinning, ApproxLineDistanceUsesTheLengthEstimate) {
    // Length estimate of (3, 4): 4 + 3/2 = 5.5, not 5.
    EXPECT_DOUBLE_EQ(tools::ApproxLineDistance({0, 0}, {3, 4}, {4, -3}), 25 / 5.5);
    EXPECT_DOUBLE_EQ(tools::ApproxLineDistance({0, 0}, {10, 0}, {3, -2}), 2);
    EXPECT_EQ(tools::ApproxLineDistance({1, 1}, {1, 1}, {5, 5}), 0);
}

TEST(FreeHandThinning, PointsAtTheEndsOrBehindEndARun) {
    struct Case {
        const char* stroke;
        const char* written;
    } cases[] = {
        {"M 0 0 L 10 0 L 0 0", "M 0 0 L 0 0"},             // back at A: code 6
        {"M 0 0 L 10 0 L 10 0 L 20 0", "M 0 0 L 10 0 L 20 0"},  // at B: code 7
        {"M 0 0 L 10 0 L 5 0.5", "M 0 0 L 5 0.5"},         // inside the run: code 3
        {"M 0 0 L 10 0 L -5 0.5", "M 0 0 L -5 0.5"},       // behind A: code 1
        {"M 0 0", "M 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stroke);
        CVXPath* p = CVXPath::Create();
        AddPathText(p, c.stroke);
        tools::ThinStroke(p);
        EXPECT_EQ(PathText(p), c.written);
        EXPECT_EQ(p->Release(), 0);
    }
}

}  // namespace
}  // namespace vx::test
