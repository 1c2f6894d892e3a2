// CFPolygon: vertices by release, closing and near boxes, finishing keys.
#include <gtest/gtest.h>

#include "tool_fixture.h"

namespace vx::test {
namespace {

class PolygonTool : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreatePolygonTool();
    }
};

TEST_F(PolygonTool, ClosesByPressingOnTheFirstVertex) {
    // The closing box (half-side 4) is centred on the press as passed, (10.6, 10.4); the
    // first vertex is the truncated press.
    events.Release(10, 10)  // the starting click's own release: near the first vertex
        .Move(50, 10)
        .Release(50, 10)
        .Move(50, 40)
        .Release(50, 40)
        .Move(13, 14)       // inside the closing box with three vertices: the mark
        .Press(14, 14);
    EXPECT_TRUE(Draw(10.6, 10.4));
    EXPECT_EQ(log.lines,
              Lines({Opening(),
                     {"RestoreOverlay 7 null", "BeginPath null", "MoveTo 10 10", "LineTo 50 10",
                      "EndPath null 1", "ShowOverlay 7 10 10 50 10",
                      "RestoreOverlay 7 null", "BeginPath null", "MoveTo 10 10", "LineTo 50 10",
                      "LineTo 50 40", "EndPath null 1", "ShowOverlay 7 10 10 50 40",
                      "RestoreOverlay 7 null", "BeginPath null", "MoveTo 10 10", "LineTo 50 10",
                      "LineTo 50 40", "LineTo 13 14", "EndPath null 1", "DrawMark 10 10 8 8 3",
                      "ShowOverlay 7 10 10 50 40"},
                     Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 40 Z");
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(PolygonTool, NearBoxRefusesReleasesCloseToTheLastVertexOnTheScreen) {
    struct Case {
        int markSize, x, y;
        bool added;
    } cases[] = {
        {8, 104, 104, false}, {8, 96, 96, false}, {8, 105, 100, true}, {8, 100, 95, true},
        {7, 103, 103, false}, {7, 104, 100, true}, {0, 101, 100, true}, {0, 100, 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.markSize << ": " << c.x << "," << c.y);
        g_parameters.MarkSize = c.markSize;
        path->ClearNodes();
        events.Release(c.x, c.y).KeyDown(0x1B);
        EXPECT_TRUE(Draw(100, 100));
        EXPECT_EQ(PathText(path), c.added ? "M 100 100 L " + std::to_string(c.x) + " " +
                                                std::to_string(c.y)
                                          : "");
    }
}

TEST_F(PolygonTool, NearBoxIsAroundTheLastVertexMappedBackToTheScreen) {
    host.scale = 2;
    host.offsetX = 100;
    host.offsetY = 50;
    host.logMapping = true;
    events.Release(124, 74).Release(125, 70).KeyDown(0x1B);
    EXPECT_TRUE(Draw(120, 70));
    EXPECT_EQ(log.Only({"AdjustPoint", "ToScreen"}),
              (std::vector<std::string>{"AdjustPoint 120 70", "ToScreen 10 10", "ToScreen 10 10",
                                        "AdjustPoint 125 70"}));
    EXPECT_EQ(PathText(path), "M 10 10 L 12.5 10");
}

TEST_F(PolygonTool, PressNeedsThreeVerticesAndIsNeverDispatched) {
    events.Release(50, 10)
        .Press(12, 12)   // two vertices: eaten
        .Release(12, 12) // adds a vertex: far from (50, 10)
        .Press(30, 30)   // three vertices, outside the closing box: eaten
        .Release(30, 30)
        .DoubleClick(80, 80);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 12 12 L 30 30");
    EXPECT_TRUE(events.dispatched.empty());
}

TEST_F(PolygonTool, DoubleClickFinishesWithTheFirstClickAsLastVertex) {
    events.Press(50, 50).Release(50, 50).DoubleClick(50, 50).Release(50, 50);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 50");
    EXPECT_EQ(events.Leftover(), 1u);
}

TEST_F(PolygonTool, EscOrAltFinishesOpen) {
    events.KeyDown(0x1B);
    EXPECT_TRUE(Draw(10, 10));  // a single vertex: true, nothing written
    EXPECT_EQ(log.lines, Lines({Opening(), Finishing()}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);

    events.Release(50, 10).Release(50, 40).SysKeyDown(0x12);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 40");
}

TEST_F(PolygonTool, ShiftKeepsEachSegmentAtAMultipleOf45Degrees) {
    REQUIRE_HELD_KEYS();
    events.Move(130, 112, kShift)
        .Release(130, 112, kShift)  // (130, 100)
        .Move(150, 125, kShift)     // from (130, 100): diagonal (150, 120)
        .Release(150, 125, kShift)
        .Move(150, 104, kShift)     // vertical from (150, 120); the closing mark needs the
        .Move(103, 103, kShift)     // constrained point: (103, 120) is outside, no mark
        .Move(104, 103)             // unconstrained and inside: mark
        .KeyDown(0x1B);
    EXPECT_TRUE(Draw(100, 100));
    EXPECT_EQ(log.Only({"LineTo", "DrawMark", "EndPath"}),
              (std::vector<std::string>{
                  "LineTo 130 100", "EndPath null 1", "LineTo 130 100", "LineTo 150 120",
                  "EndPath null 1", "LineTo 130 100", "LineTo 150 120", "LineTo 150 104",
                  "EndPath null 1", "LineTo 130 100", "LineTo 150 120", "LineTo 103 120",
                  "EndPath null 1", "LineTo 130 100", "LineTo 150 120", "LineTo 104 103",
                  "EndPath null 1", "DrawMark 100 100 8 8 3"}));
    EXPECT_EQ(PathText(path), "M 100 100 L 130 100 L 150 120");
}

}  // namespace
}  // namespace vx::test
