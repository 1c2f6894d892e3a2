#include "support/golden.h"
#include "path/marks.h"
#include "path_fixture.h"

namespace vx::test {
namespace {

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
    const double k = 4 * 0.5565999746322632;
    const std::string x1 = Num(100 - k), x2 = Num(100 + k), y1 = Num(50 - k), y2 = Num(50 + k);
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
