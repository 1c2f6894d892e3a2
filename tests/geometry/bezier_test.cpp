// Control polygons: splitting, sign changes, flatness, chord intercepts and root finding.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/bezier.h"

namespace vx::geom {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The arch used throughout: it rises from (0, 0) to y = 7.5 at t = 0.5 and comes back to
// (10, 0); on the screen, with y growing downward, it hangs below its chord.
const Point2 kArch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

// The Bernstein polygon of (t - 0.1)(t - 0.3)(t - 0.5)(t - 0.7)(t - 0.9) on [0, 1]:
// monomial coefficients a_j, then b_i = sum over j <= i of C(i, j) / C(5, j) a_j.
const Point2* FiveRootPolygon() {
    static Point2 w[6];
    double a[6] = {1, 0, 0, 0, 0, 0};  // a[j] multiplies t^j
    for (double r : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        for (int j = 5; j >= 0; --j) a[j] = (j > 0 ? a[j - 1] : 0.0) - r * a[j];
    }
    const double binomial[6][6] = {{1}, {1, 1}, {1, 2, 1}, {1, 3, 3, 1}, {1, 4, 6, 4, 1},
                                   {1, 5, 10, 10, 5, 1}};
    for (int i = 0; i <= 5; ++i) {
        double b = 0.0;
        for (int j = 0; j <= i; ++j) b += binomial[i][j] / binomial[5][j] * a[j];
        w[i] = {i / 5.0, b};
    }
    return w;
}

void ExpectPoints(const Point2* actual, const std::vector<Point2>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(actual[i].x, expected[i].x) << "point " << i;
        EXPECT_DOUBLE_EQ(actual[i].y, expected[i].y) << "point " << i;
    }
}

TEST(Bezier, EvaluateSplitsIntoBothHalves) {
    Point2 left[4], right[4];
    const Point2 mid = EvaluateBezier(kArch, 3, 0.5, left, right);
    EXPECT_EQ(mid.x, 5.0);
    EXPECT_EQ(mid.y, 7.5);
    ExpectPoints(left, {{0, 0}, {0, 5}, {2.5, 7.5}, {5, 7.5}});
    ExpectPoints(right, {{5, 7.5}, {7.5, 7.5}, {10, 5}, {10, 0}});

    // A quarter of the way along a line, halves optional.
    const Point2 line[2] = {{0, 0}, {8, -4}};
    const Point2 q = EvaluateBezier(line, 1, 0.25, nullptr, nullptr);
    EXPECT_EQ(q.x, 2.0);
    EXPECT_EQ(q.y, -1.0);
    // Ends of the arch.
    EXPECT_EQ(EvaluateBezier(kArch, 3, 0.0, nullptr, nullptr).x, 0.0);
    EXPECT_EQ(EvaluateBezier(kArch, 3, 1.0, nullptr, nullptr).x, 10.0);
    // A degree beyond the supported ones gives the first point and leaves the halves alone.
    Point2 untouched[1] = {{42, 42}};
    EXPECT_EQ(EvaluateBezier(kArch, 9, 0.5, untouched, nullptr).x, 0.0);
    EXPECT_EQ(untouched[0].x, 42.0);
}

TEST(Bezier, SignChangesCountZeroAndNaNAsPositive) {
    struct Case {
        std::vector<double> ys;
        int changes;
    } cases[] = {
        {{1, -1, 1, -1}, 3}, {{0, -1}, 1},       {{-1, 0}, 1},       {{0, 0, 0}, 0},
        {{-1, -2, -3}, 0},   {{-0.0, 1, 2}, 0},  {{kNaN, -1}, 1},    {{-1, kNaN, -1}, 2},
        {{1, 2, -3, -4, 5, 6}, 2},
    };
    for (const Case& c : cases) {
        std::vector<Point2> w;
        for (double y : c.ys) w.push_back({0, y});
        EXPECT_EQ(CountSignChanges(w.data(), static_cast<int>(w.size()) - 1), c.changes)
            << "case with " << c.ys.size() << " values starting " << c.ys[0];
    }
}

TEST(Bezier, FlatnessIsMeasuredAgainstTwoToTheMinus65) {
    EXPECT_EQ(MaxDepth, 64);
    EXPECT_EQ(Epsilon, std::ldexp(1.0, -65));

    // Chord through the origin from (-1, -1) to (1, 1) and a middle point lifted by d: the
    // two intercepts are 0 and d^2/4, so the error is d^2/8, flat below 2^-65.
    auto bent = [](double d) {
        const Point2 w[3] = {{-1, -1}, {0, d}, {1, 1}};
        return ControlPolygonFlatEnough(w, 2);
    };
    EXPECT_TRUE(bent(0.0));
    EXPECT_TRUE(bent(std::ldexp(1.0, -32)));    // error 2^-67
    EXPECT_TRUE(bent(std::ldexp(0.99, -31)));   // just under 2^-65
    EXPECT_FALSE(bent(std::ldexp(1.0, -31)));   // exactly 2^-65: the bound is exclusive
    EXPECT_FALSE(bent(-std::ldexp(1.0, -31)));  // below the chord alike
    EXPECT_FALSE(bent(std::ldexp(1.0, -30)));

    // Every signed distance 0: flat.
    const Point2 straight[4] = {{0, -3}, {1, -1}, {2, 1}, {3, 3}};
    EXPECT_TRUE(ControlPolygonFlatEnough(straight, 3));
    // A horizontal chord divides by zero: not flat.
    const Point2 level[3] = {{0, 0}, {1, 1}, {2, 0}};
    EXPECT_FALSE(ControlPolygonFlatEnough(level, 2));
    // A NaN or infinite end point spoils the chord: not flat. An interior NaN gives a NaN
    // distance, which is neither above nor below the chord: the error stays 0.
    const Point2 nanEnd[3] = {{0, -1}, {1, 0}, {2, kNaN}};
    EXPECT_FALSE(ControlPolygonFlatEnough(nanEnd, 2));
    const Point2 nanInside[3] = {{0, -1}, {kNaN, 0}, {2, 1}};
    EXPECT_TRUE(ControlPolygonFlatEnough(nanInside, 2));
    const Point2 inf[3] = {{0, -1}, {1, 0}, {kInf, 1}};
    EXPECT_FALSE(ControlPolygonFlatEnough(inf, 2));
    EXPECT_FALSE(ControlPolygonFlatEnough(kArch, 3));
}

TEST(Bezier, ChordInterceptAndDirection) {
    struct Case {
        Point2 a, b;
        double x;
        int32_t direction;
    } cases[] = {
        {{0, -3}, {3, 3}, 1.5, -1},  // rising y: -1
        {{0, 3}, {3, -3}, 1.5, 1},   // falling y: +1
        {{1, 2}, {5, -2}, 3.0, 1},
        {{4, 0}, {8, 5}, 4.0, -1},   // starts on the line
        {{0, 1}, {4, 1}, kInf, -1},  // parallel: 4 * (1 / 0)
    };
    for (const Case& c : cases) {
        const Point2 w[2] = {c.a, c.b};
        int32_t direction = 0;
        EXPECT_EQ(ComputeXIntercept(w, 1, &direction), c.x) << c.a.x << "," << c.a.y;
        EXPECT_EQ(direction, c.direction) << c.a.x << "," << c.a.y;
    }
}

TEST(Bezier, FindRootsOfStraightAndCurvedPolygons) {
    double roots[6];
    int32_t directions[6];

    // One sign change on a flat polygon: solved by its chord at once.
    const Point2 straight[4] = {{0, -3}, {1, -1}, {2, 1}, {3, 3}};
    ASSERT_EQ(FindRoots(straight, 3, roots, 0, directions), 1);
    EXPECT_EQ(roots[0], 1.5);
    EXPECT_EQ(directions[0], -1);

    // No sign change: no root.
    EXPECT_EQ(FindRoots(kArch, 3, roots, 0, directions), 0);

    // The arch against y = 5: x = 1.151 rising, then x = 8.849 falling.
    const Point2 shifted[4] = {{0, -5}, {0, 5}, {10, 5}, {10, -5}};
    ASSERT_EQ(FindRoots(shifted, 3, roots, 0, directions), 2);
    EXPECT_NEAR(roots[0], 1.151, 5e-4);
    EXPECT_NEAR(roots[1], 8.849, 5e-4);
    EXPECT_EQ(directions[0], -1);
    EXPECT_EQ(directions[1], 1);
    // Exact values from 30 t (1 - t) = 5 and x = 30 t^2 - 20 t^3.
    const double t = (1.0 - std::sqrt(1.0 / 3.0)) / 2.0;
    EXPECT_NEAR(roots[0], 30 * t * t - 20 * t * t * t, 1e-9);

    // At MaxDepth one sign change is taken at the middle of the chord without flatness.
    const Point2 bent[3] = {{0, -1}, {1, 5}, {4, 1}};
    ASSERT_EQ(FindRoots(bent, 2, roots, MaxDepth, directions), 1);
    EXPECT_EQ(roots[0], 2.0);
    EXPECT_EQ(directions[0], -1);
    const Point2 falling[3] = {{0, 1}, {1, 5}, {4, -1}};
    ASSERT_EQ(FindRoots(falling, 2, roots, MaxDepth, directions), 1);
    EXPECT_EQ(directions[0], 1);
    // One level earlier the same polygon is halved first: the root becomes the middle of
    // the left half's chord, (0 + 1.5) / 2.
    ASSERT_EQ(FindRoots(bent, 2, roots, MaxDepth - 1, directions), 1);
    EXPECT_EQ(roots[0], 0.75);

    // Degree 5 with five separated roots at 0.1, 0.3, 0.5, 0.7, 0.9: found left to right,
    // with alternating directions (the polynomial starts negative).
    const Point2* quintic = FiveRootPolygon();
    int32_t n = FindRoots(quintic, 5, roots, 0, directions);
    ASSERT_EQ(n, 5);
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_NEAR(roots[i], 0.1 + 0.2 * i, 1e-9) << i;
        EXPECT_EQ(directions[i], i % 2 == 0 ? -1 : 1) << i;
    }
    // The alternating polygon is (1 - 2t)^5: a five-fold root at 0.5, found once.
    const Point2 alternating[6] = {{0, 1}, {0.2, -1}, {0.4, 1}, {0.6, -1}, {0.8, 1}, {1, -1}};
    n = FindRoots(alternating, 5, roots, 0, directions);
    ASSERT_EQ(n, 1);
    EXPECT_NEAR(roots[0], 0.5, 1e-9);
    // Unsupported degrees find nothing.
    EXPECT_EQ(FindRoots(alternating, 6, roots, 0, directions), 0);
    EXPECT_EQ(FindRoots(alternating, 0, roots, 0, directions), 0);
}

TEST(Bezier, HostileValuesEndTheRecursion) {
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    const double hostile[][6] = {
        {kNaN, -1, 1, -1, 1, -1},
        {kInf, -kInf, kInf, -kInf, kInf, -kInf},
        {-kTiny, kTiny, -kTiny, kTiny, -kTiny, kTiny},
        {1e308, -1e308, 1e308, -1e308, 1e308, -1e308},
        {1e-300, -1e-300, 1e-300, -1e-300, 1e-300, -1e-300},
        {1, -2, 4, -2, 1, 0},  // a double root at a parameter that halving never reaches
        {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN},
    };
    const double xs[][6] = {
        {0, 0.2, 0.4, 0.6, 0.8, 1},
        {0, 0, 0, 0, 0, 0},
        {kNaN, 1, 2, 3, 4, kInf},
    };
    for (const auto& ys : hostile) {
        for (const auto& x : xs) {
            Point2 w[6];
            for (int i = 0; i < 6; ++i) w[i] = {x[i], ys[i]};
            double roots[6];
            int32_t directions[6];
            for (int n = 1; n <= 5; ++n) {
                const int32_t found = FindRoots(w, n, roots, 0, directions);
                EXPECT_GE(found, 0);
                EXPECT_LE(found, n);
                for (int32_t i = 0; i < found; ++i)
                    EXPECT_TRUE(directions[i] == 1 || directions[i] == -1);
            }
        }
    }
}

}  // namespace
}  // namespace vx::geom
