// SegmentHit and PathOutlineHit: distances with their integer truncations, ray crossings,
// fill rules over nested and self-crossing subpaths, and the end of the reading.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "hit_fixture.h"

namespace vx::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SegmentHit, DistancesWithTheirTruncations) {
    struct Case {
        double x1, y1, x2, y2, px, py, tol;
        int32_t hit;
        const char* why;
    } cases[] = {
        {0, 0, 10, 0, 5, 1.5, 2, 1, "D = 2.25 < 4"},
        {0, 0, 10, 0, 5, 2.5, 2, 0, "D = 6.25"},
        {0, 0, 10, 0, 5, 2, 2, 0, "D = 4 is not below 4"},
        {0, 0, 0.5, 0.5, 0.25, 0.26, 2, 0, "beside the middle: L truncates to 0"},
        {0, 0, 0.5, 0.5, -0.5, -0.5, 2, 1, "before the start: d1 truncates to 0"},
        {0, 0, 10, 0, -1.9, 0, 2, 1, "before the start: d1 = trunc(3.61) = 3"},
        {0, 0, 10, 0, -1.9, 0.7, 2, 0, "before the start: d1 = trunc(4.1) = 4"},
        {0, 0, 10, 0, 11.9, 0, 2, 1, "beyond the end, exact: 3.61"},
        {0, 0, 10, 0, 11.5, 1.5, 2, 0, "beyond the end, exact: 4.5"},
        {0, 0, 10, 0, 11.4, 1.4, 2, 1, "beyond the end, exact: 3.92"},
        // Degenerate segments compare two truncated integers.
        {3, 3, 3, 3, 4.4, 4.4, 2, 1, "d1 = trunc(3.92) = 3 < 4"},
        {3, 3, 3, 3, 4.5, 4.5, 2, 0, "d1 = trunc(4.5) = 4"},
        {3, 3, 3, 3, 4.2, 4.2, 1.9, 1, "2 < trunc(3.61) = 3"},
        {3, 3, 3, 3, 4.3, 4.3, 1.9, 0, "3.38 is nearer than 1.9 but 3 < 3 fails"},
        // A long segment: L = 2 * 10^6 fits the integer.
        {0, 0, 1000, 1000, 500, 502, 2, 1, "cross^2 / L = 2"},
        // The band: more than the tolerance above or below rejects at once.
        {0, 0, 10, 0, 5, -2.5, 2, 0, "below the band"},
        {0, 0, 10, 0, 5, 2.0000001, 2, 0, "above the band"},
        // Squared distances beyond 32 bits saturate: far before the start is far.
        {50000, 0, 60000, 0, 0, 0, 2, 0, "d1 = 2.5e9 saturates"},
        // Hostile values: defined, no hit.
        {0, 0, 10, 0, kNaN, 0, 2, 0, "NaN point"},
        {0, 0, 10, 0, kInf, 0, 2, 0, "infinite point"},
        {kNaN, 0, 10, 0, 5, 0, 2, 0, "NaN end"},
        {0, 0, kInf, 0, 5, 0, 2, 0, "infinite end"},
        {0, 0, 10, 0, 5, 0, kNaN, 0, "NaN tolerance"},
        {-1e300, -1e300, 1e300, 1e300, 0, 0, 2, 0, "overflowing squares"},
    };
    for (const Case& c : cases) {
        int32_t crossings = 0, winding = 0;
        EXPECT_EQ(SegmentHit(c.x1, c.y1, c.x2, c.y2, c.px, c.py, c.tol, &crossings, &winding),
                  c.hit)
            << c.why;
        EXPECT_EQ(SegmentHit(c.x1, c.y1, c.x2, c.y2, c.px, c.py, c.tol, nullptr, nullptr), c.hit)
            << c.why;
    }
}

TEST(SegmentHit, CountsTheRayTowardSmallerX) {
    struct Case {
        double x1, y1, x2, y2, px, py;
        int32_t crossings, winding;
        const char* why;
    } cases[] = {
        {0, 10, 0, -10, 5, 0, 1, 1, "falling segment left of the point: +1"},
        {0, -10, 0, 10, 5, 0, 1, -1, "rising segment: -1"},
        {0, 10, 0, -10, -5, 0, 0, 0, "segment right of the point"},
        {0, -10, 0, 10, 5, -10, 1, -1, "at ymin: counted"},
        {0, -10, 0, 10, 5, 10, 0, 0, "at ymax: not counted"},
        {-10, -10, 10, 10, 5, 0, 1, -1, "diagonal meeting y = 0 at x = 0"},
        {-10, -10, 10, 10, -5, 0, 0, 0, "diagonal right of the point"},
        {0, 5, 10, 5, 20, 5, 0, 0, "horizontal: never counted"},
        {0, 5, 10, 5, 20, 5.5, 0, 0, "horizontal, miss"},
        {0, 10, 0, -10, 1, 0, 0, 0, "a hit counts nothing"},
        {0, 10, 0, -10, kNaN, 0, 0, 0, "NaN point"},
    };
    for (const Case& c : cases) {
        int32_t crossings = 0, winding = 0;
        SegmentHit(c.x1, c.y1, c.x2, c.y2, c.px, c.py, 2, &crossings, &winding);
        EXPECT_EQ(crossings, c.crossings) << c.why;
        EXPECT_EQ(winding, c.winding) << c.why;
    }
}

// PathOutlineHit over the outline of a path text, with tolerance 2.
int32_t OutlineHit(const char* text, int32_t rule, double x, double y) {
    int32_t count = 0;
    const std::vector<double> list = Outline(text, &count);
    CaptureOutput capture;  // curves write a diagnostic line each
    return PathOutlineHit(list.data(), count, rule, x, y, 2);
}

TEST(PathOutlineHit, NodeNumbersAndFillRules) {
    const char* square = "M 0 0 L 10 0 L 10 10 L 0 10 Z";
    struct Case {
        const char* path;
        double x, y;
        int32_t none, nonzero, evenodd;
        const char* why;
    } cases[] = {
        {square, 5, 0.5, 2, 2, 2, "first line is node 2"},
        {square, 10.5, 5, 3, 3, 3, "right side"},
        {square, 0.5, 5, 5, 5, 5, "the closing segment is the close node"},
        {square, 5, 5, 0, 1, 1, "inside"},
        {square, 15, 5, 0, 0, 0, "outside"},
        // Outer square clockwise on the screen, inner square the same way: the inner
        // region winds twice (inside by nonzero) and is crossed twice (outside by even-odd).
        {"M 0 0 L 100 0 L 100 100 L 0 100 Z M 25 25 L 75 25 L 75 75 L 25 75 Z", 50, 50, 0, 1, 0,
         "nested, same direction, centre"},
        {"M 0 0 L 100 0 L 100 100 L 0 100 Z M 25 25 L 75 25 L 75 75 L 25 75 Z", 10, 50, 0, 1, 1,
         "nested, same direction, ring"},
        // Inner square reversed: its left side winds -1, so the centre is a hole for both.
        {"M 0 0 L 100 0 L 100 100 L 0 100 Z M 25 25 L 25 75 L 75 75 L 75 25 Z", 50, 50, 0, 0, 0,
         "nested, reversed, centre"},
        {"M 0 0 L 100 0 L 100 100 L 0 100 Z M 25 25 L 25 75 L 75 75 L 75 25 Z", 10, 50, 0, 1, 1,
         "nested, reversed, ring"},
        // A five-pointed star drawn in one stroke: its pentagon winds twice.
        {"M 50 0 L 79 90 L 2 35 L 98 35 L 21 90 Z", 50, 50, 0, 1, 0, "star, centre"},
        {"M 50 0 L 79 90 L 2 35 L 98 35 L 21 90 Z", 50, 15, 0, 1, 1, "star, top point"},
        {"M 50 0 L 79 90 L 2 35 L 98 35 L 21 90 Z", 50, 80, 0, 0, 0, "star, between the feet"},
        // A bow tie: its halves wind in opposite directions, both inside by either rule.
        {"M 0 0 L 100 100 L 100 0 L 0 100 Z", 20, 50, 0, 1, 1, "bow tie, left half"},
        {"M 0 0 L 100 100 L 100 0 L 0 100 Z", 80, 50, 0, 1, 1, "bow tie, right half"},
        // An open subpath does not close itself for the inside test.
        {"M 0 0 L 10 0 L 10 10", 8, 5, 0, 0, 0, "open triangle"},
        {"M 0 0 L 10 0 L 10 10 Z", 8, 5, 0, 1, 1, "closed triangle"},
        // After a close the next segment starts at the last point, (10, 10), not at (0, 0):
        // the line goes from (10, 10) to (0, 10) and its close runs back along it.
        {"M 0 0 L 10 0 L 10 10 Z L 0 10 Z", 2, 8, 0, 0, 0, "line after close, inside test"},
        {"M 0 0 L 10 0 L 10 10 Z L 0 10 Z", 5, 10.5, 5, 5, 5, "line after close, its hit"},
        // Curves: an arch closed by its chord; inside below the arch's top.
        {"M 0 0 C 0 10 10 10 10 0 Z", 5, 5, 0, 1, 1, "arch, inside"},
        {"M 0 0 C 0 10 10 10 10 0 Z", 5, 8, 2, 2, 2, "arch, near its top"},
        {"M 0 0 C 0 10 10 10 10 0 Z", 5, 12, 0, 0, 0, "arch, outside"},
        {"M 0 0 C 0 10 10 10 10 0 Z", 5, 0.5, 3, 3, 3, "arch, near the chord"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutlineHit(c.path, VX_FILL_NONE, c.x, c.y), c.none) << c.why;
        EXPECT_EQ(OutlineHit(c.path, VX_FILL_NONZERO, c.x, c.y), c.nonzero) << c.why;
        EXPECT_EQ(OutlineHit(c.path, VX_FILL_EVENODD, c.x, c.y), c.evenodd) << c.why;
        EXPECT_EQ(OutlineHit(c.path, 3, c.x, c.y), c.none) << c.why << " (unknown rule)";
    }
}

TEST(PathOutlineHit, KindsAreTruncatedAndUnknownKindsEndTheReading) {
    // The square's first line, its kind written as 1.9: still a line.
    std::vector<double> list = {0, 0, 0, 1.9, 10, 0, 1, 10, 10, 1, 0, 10, 6};
    EXPECT_EQ(PathOutlineHit(list.data(), 5, VX_FILL_NONZERO, 5, 0.5, 2), 2);
    EXPECT_EQ(PathOutlineHit(list.data(), 5, VX_FILL_NONZERO, 5, 5, 2), 1);
    // -0.5 truncates to 0: a move.
    list[0] = -0.5;
    EXPECT_EQ(PathOutlineHit(list.data(), 5, VX_FILL_NONZERO, 5, 5, 2), 1);
    // 6.9 is a close.
    list[12] = 6.9;
    EXPECT_EQ(PathOutlineHit(list.data(), 5, VX_FILL_NONZERO, 0.5, 5, 2), 5);
    // Only the given number of nodes is read: without the close, (0.5, 5) is not near.
    EXPECT_EQ(PathOutlineHit(list.data(), 4, VX_FILL_NONZERO, 0.5, 5, 2), 0);
    // Kinds 3, 4 and 5 carry no points and do nothing.
    const std::vector<double> forms = {0, 0, 0, 3, 4, 5, 1, 10, 0};
    EXPECT_EQ(PathOutlineHit(forms.data(), 5, VX_FILL_NONE, 5, 0.5, 2), 5);

    // Kind 7, 9, -1, NaN and huge kinds end the reading: nothing after them counts, and
    // the point inside the square is outside what was read (one horizontal line).
    for (double stop : {7.0, 9.0, -1.0, kNaN, 1e10, -1e10, kInf}) {
        std::vector<double> cut = {0, 0, 0, 1, 10, 0, stop, 1, 10, 10, 1, 0, 10, 6};
        EXPECT_EQ(PathOutlineHit(cut.data(), 6, VX_FILL_NONZERO, 5, 0.5, 2), 2) << stop;
        EXPECT_EQ(PathOutlineHit(cut.data(), 6, VX_FILL_NONZERO, 10.5, 5, 2), 0) << stop;
        EXPECT_EQ(PathOutlineHit(cut.data(), 6, VX_FILL_NONZERO, 5, 5, 2), 0) << stop;
    }
    // No list, or no nodes: nothing.
    EXPECT_EQ(PathOutlineHit(nullptr, 5, VX_FILL_NONZERO, 5, 5, 2), 0);
    EXPECT_EQ(PathOutlineHit(list.data(), 0, VX_FILL_NONZERO, 5, 5, 2), 0);
    EXPECT_EQ(PathOutlineHit(list.data(), -3, VX_FILL_NONZERO, 5, 5, 2), 0);
}

TEST(PathOutlineHit, HostileCoordinatesGiveDefinedAnswers) {
    // A square whose right side is a curve: M 0 0, L 10 0, C 12 3 12 7 10 10, L 0 10, Z.
    const std::vector<double> base = {0, 0, 0, 1, 10, 0, 2, 12, 3, 12, 7, 10, 10, 1, 0, 10, 6};
    const size_t kinds[] = {0, 3, 6, 13, 16};
    CaptureOutput capture;
    for (double v : {kNaN, kInf, -kInf, 1e300, -1e300, 1e-300}) {
        // Each coordinate in turn replaced by the bad value.
        for (size_t i = 0; i < base.size(); ++i) {
            if (std::find(std::begin(kinds), std::end(kinds), i) != std::end(kinds)) continue;
            std::vector<double> list = base;
            list[i] = v;
            for (int32_t rule = 0; rule <= 2; ++rule) {
                const int32_t r = PathOutlineHit(list.data(), 5, rule, 5, 5, 2);
                EXPECT_GE(r, 0);
                EXPECT_LE(r, 5);
            }
        }
        // The bad value as the point's x: only 1e-300 is near something (the close, x = 0).
        EXPECT_EQ(PathOutlineHit(base.data(), 5, VX_FILL_NONZERO, v, 5, 2), v == 1e-300 ? 5 : 0)
            << v;
        EXPECT_EQ(PathOutlineHit(base.data(), 5, VX_FILL_EVENODD, 5, v, 2), v == 1e-300 ? 2 : 0) << v;
    }
    // Inside, for comparison.
    EXPECT_EQ(PathOutlineHit(base.data(), 5, VX_FILL_NONZERO, 5, 5, 2), 1);
}

}  // namespace
}  // namespace vx::test
