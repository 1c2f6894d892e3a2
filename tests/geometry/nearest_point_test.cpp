// Nearest point on a cubic, its diagonstic line, and the crossings of a cubic with a
// horizontal ray.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/nearest_point.h"

namespace vx::geom {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const Point2 kArch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

// Runs NearestPointOnCurve and returns its diagnostic output.
std::string Nearest(Point2 p, const Point2* v, Point2* result, double* t) {
    CaptureStdout();
    *result = NearestPointOnCurve(p, v, t);
    return GetCapturedStdout();
}

TEST(NearestPoint, DistancePolynomialOfAStraightCurve) {
    // (B(t) - P) . B'(t) for B(t) = (3t, 0) and P = (1.5, 1) is 9t - 4.5: a line through
    // (0, -4.5) and (1, 4.5), whose Bernstein points are evenly spaced on it.
    const Point2 line[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    const std::array<Point2, 6> w = ConvertToBezierForm({1.5, 1}, line);
    const double ys[6] = {-4.5, -2.7, -0.9, 0.9, 2.7, 4.5};
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(w[i].x, i / 5.0) << i;
        EXPECT_NEAR(w[i].y, ys[i], 1e-12) << i;
    }
    // The arch seen from (5, 20): the weights of the z table show in w[1] and w[4].
    const std::array<Point2, 6> a = ConvertToBezierForm({5, 20}, kArch);
    // c = (-5,-20) (-5,-10) (5,-10) (5,-20); d = (0,30) (30,0) (0,-30).
    // w0 = d0.c0 = -600; w1 = 0.4 d1.c0 + 0.6 d0.c1 = 0.4 * -150 + 0.6 * -300 = -240.
    EXPECT_DOUBLE_EQ(a[0].y, -600);
    EXPECT_DOUBLE_EQ(a[1].y, -240);
    EXPECT_DOUBLE_EQ(a[4].y, 240);
    EXPECT_DOUBLE_EQ(a[5].y, 600);
}

TEST(NearestPoint, EdgeCasesAndTheDiagnosticLine) {
    Point2 q;
    double t = -1;
    // The top of the arch, t = 0.5.
    EXPECT_EQ(Nearest({5, 20}, kArch, &q, &t), "t : 0.500000000000\n");
    EXPECT_NEAR(q.x, 5.0, 1e-12);
    EXPECT_NEAR(q.y, 7.5, 1e-12);
    EXPECT_NEAR(t, 0.5, 1e-12);

    // The ends themselves.
    EXPECT_EQ(Nearest({0, 0}, kArch, &q, &t), "t : 0.000000000000\n");
    EXPECT_EQ(q.x, 0.0);
    EXPECT_EQ(q.y, 0.0);
    EXPECT_EQ(Nearest({10, 0}, kArch, &q, &t), "t : 1.000000000000\n");
    EXPECT_EQ(q.x, 10.0);
    EXPECT_EQ(q.y, 0.0);

    // Four coincident points: no root, the start.
    const Point2 dot[4] = {{3, 4}, {3, 4}, {3, 4}, {3, 4}};
    EXPECT_EQ(Nearest({9, 9}, dot, &q, &t), "t : 0.000000000000\n");
    EXPECT_EQ(q.x, 3.0);
    EXPECT_EQ(q.y, 4.0);

    // Both ends equally near and the curve bending away: the start stays (ties keep the
    // earlier candidate).
    EXPECT_EQ(Nearest({5, -10}, kArch, &q, &t), "t : 0.000000000000\n");
    EXPECT_EQ(q.x, 0.0);

    // A straight curve seen from beside its first third: t = 1/3, solved by one chord.
    const Point2 line[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    EXPECT_EQ(Nearest({1, 7}, line, &q, &t), "t : 0.333333333333\n");
    EXPECT_NEAR(q.x, 1.0, 1e-12);
    EXPECT_EQ(q.y, 0.0);

    // Beyond the end of the straight curve: the end.
    EXPECT_EQ(Nearest({5, 1}, line, &q, &t), "t : 1.000000000000\n");
    EXPECT_EQ(q.x, 3.0);
}

TEST(NearestPoint, HostileCoordinatesGiveAPointAndOneLine) {
    const Point2 curves[][4] = {
        {{kNaN, 0}, {0, 10}, {10, 10}, {10, 0}},
        {{0, 0}, {kInf, 10}, {10, -kInf}, {10, 0}},
        {{1e300, 1e300}, {-1e300, 1e300}, {1e300, -1e300}, {-1e300, -1e300}},
        {{1e-300, 0}, {0, 1e-300}, {-1e-300, 0}, {0, -1e-300}},
    };
    const Point2 points[] = {{5, 5}, {kNaN, 0}, {kInf, kInf}, {1e300, -1e300}};
    for (const auto& v : curves) {
        for (const Point2& p : points) {
            Point2 q;
            double t = kNaN;
            const std::string line = Nearest(p, v, &q, &t);
            EXPECT_EQ(line.substr(0, 4), "t : ");
            EXPECT_EQ(line.back(), '\n');
            EXPECT_FALSE(std::isnan(t));
        }
    }
}

TEST(CurveCrossings, CountsRootsLeftOfThePoint) {
    struct Case {
        Point2 v[4];
        double px, py;
        int32_t crossings, winding;
    } cases[] = {
        // A straight curve rising through y = 0 at x = 1.5 (direction -1).
        {{{0, -3}, {1, -1}, {2, 1}, {3, 3}}, 2, 0, 1, -1},
        {{{0, -3}, {1, -1}, {2, 1}, {3, 3}}, 1.5, 0, 0, 0},  // not strictly left
        {{{0, -3}, {1, -1}, {2, 1}, {3, 3}}, 1, 0, 0, 0},
        // The arch meets y = 5 at 1.151 rising and 8.849 falling.
        {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 20, 5, 2, 0},
        {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 5, 5, 1, -1},
        {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0, 5, 0, 0},
        // Above the arch's reach: nothing.
        {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 20, 9, 0, 0},
        // Starting exactly on the line: the 0 counts as positive, so a curve going to
        // negative values crosses at its start (falling, +1) ...
        {{{0, 0}, {1, -1}, {2, -2}, {3, -3}}, 1, 0, 1, 1},
        // ... and one going to positive values does not cross at all.
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, 1, 0, 0, 0},
        // Ending on the line from below crosses at the end.
        {{{0, -2}, {1, -1}, {2, -1}, {3, 0}}, 5, 0, 1, -1},
    };
    for (const Case& c : cases) {
        int32_t crossings = 0, winding = 0;
        CurveLineCrossings(c.v, c.px, c.py, &crossings, &winding);
        EXPECT_EQ(crossings, c.crossings) << "curve from " << c.v[0].y << " at " << c.px << "," << c.py;
        EXPECT_EQ(winding, c.winding) << "curve from " << c.v[0].y << " at " << c.px << "," << c.py;
    }
    // The counters are added to, and may be left out.
    int32_t crossings = 3, winding = -2;
    CurveLineCrossings(kArch, 5, 5, &crossings, &winding);
    EXPECT_EQ(crossings, 4);
    EXPECT_EQ(winding, -3);
    CurveLineCrossings(kArch, 5, 5, nullptr, nullptr);
}

TEST(CurveSegmentHit, TheBandIsClosedBelowAndOpenAbove) {
    int32_t crossings = 0, winding = 0;
    auto hit = [&](double px, double py, double tol, std::string* out) {
        CaptureStdout();
        const int32_t r = CurveSegmentHit(kArch, px, py, tol, &crossings, &winding);
        *out = GetCapturedStdout();
        return r;
    };
    std::string out;
    // Beyond the control polygon's y range widened by the tolerance: 0, nothing computed.
    EXPECT_EQ(hit(5, -2.5, 2, &out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(hit(5, 12.5, 2, &out), 0);
    EXPECT_EQ(out, "");
    // Exactly ymax + tol is still outside; exactly ymin - tol is inside.
    EXPECT_EQ(hit(5, 12, 2, &out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(hit(5, -2, 2, &out), 0);
    EXPECT_EQ(out.substr(0, 4), "t : ");
    EXPECT_EQ(crossings, 0);

    // Near the top of the arch: a hit, no counting.
    EXPECT_EQ(hit(5, 9, 2, &out), 1);
    EXPECT_EQ(hit(5, 6, 2, &out), 1);
    EXPECT_EQ(crossings, 0);
    // The distance must be below the tolerance: 9.5 is exactly 2 away.
    EXPECT_EQ(hit(5, 9.5, 2, &out), 0);
    // A miss counts the crossings: (20, 5) is right of both.
    EXPECT_EQ(hit(20, 5, 2, &out), 0);
    EXPECT_EQ(crossings, 2);
    EXPECT_EQ(winding, 0);
    // Null counters are allowed.
    CaptureStdout();
    EXPECT_EQ(CurveSegmentHit(kArch, 20, 5, 2, nullptr, nullptr), 0);
    GetCapturedStdout();
}

}  // namespace
}  // namespace vx::geom
