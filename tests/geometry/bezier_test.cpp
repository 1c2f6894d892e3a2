// Control polygons (splitting, sign changes, flatness, intercepts, root finding), the nearest
// point on a cubic with its diagnostic line, and the crossings of a cubic with a ray; and the
// root finder held bit for bit to a plain transcription of the method.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "geometry/bezier.h"
#include "geometry/nearest_point.h"
#include "platform/debug_output.h"
#include "support/random_curves.h"
#include "support/rows.h"
#include "text/format.h"

namespace vx::geom {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Rises from (0, 0) to (5, 7.5) at t = 0.5 and comes back to (10, 0).
const Point2 kArch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
const Point2 kStraight[4] = {{0, -3}, {1, -1}, {2, 1}, {3, 3}};

// What f writes to standard output: the curves' diagnostic lines.
template <typename F>
std::string Output(F f) {
    ::testing::internal::CaptureStdout();
    f();
    return ::testing::internal::GetCapturedStdout();
}

TEST(Bezier, SplitSignChangesFlatnessAndIntercept) {
    Point2 l[4], r[4];
    const Point2 mid = EvaluateBezier(kArch, 3, 0.5, l, r);
    EXPECT_TRUE(mid.x == 5 && mid.y == 7.5 && l[1].y == 5 && l[2].x == 2.5 && l[3].x == 5);
    EXPECT_TRUE(r[0].y == 7.5 && r[1].x == 7.5 && r[2].y == 5 && r[3].x == 10);
    // Zero and NaN count as positive.
    const Point2 signs[6] = {{0, 1}, {0, -1}, {0, 0}, {0, -0.0}, {0, kNaN}, {0, -1}};
    EXPECT_EQ(CountSignChanges(signs, 5), 3);
    // Chord (-1, -1)-(1, 1), middle point lifted by d: error d^2 / 8 against 2^-65, exclusive.
    auto bent = [](double d) {
        const Point2 w[3] = {{-1, -1}, {0, d}, {1, 1}};
        return ControlPolygonFlatEnough(w, 2);
    };
    EXPECT_EQ(Epsilon, std::ldexp(1.0, -65));
    EXPECT_TRUE(bent(std::ldexp(0.99, -31)));
    EXPECT_FALSE(bent(std::ldexp(1.0, -31)) || bent(-std::ldexp(1.0, -31)));
    EXPECT_TRUE(ControlPolygonFlatEnough(kStraight, 3));
    // A level chord divides by zero; a NaN is not flat either.
    const Point2 level[3] = {{0, 0}, {1, 1}, {2, 0}}, nanEnd[3] = {{0, -1}, {1, 0}, {2, kNaN}};
    EXPECT_FALSE(ControlPolygonFlatEnough(level, 2) || ControlPolygonFlatEnough(nanEnd, 2));
    int32_t dirs[2] = {0, 0};
    const Point2 falling[2] = {{1, 2}, {5, -2}}, parallel[2] = {{0, 1}, {4, 1}};
    EXPECT_EQ(ComputeXIntercept(falling, 1, &dirs[0]), 3.0);
    EXPECT_EQ(ComputeXIntercept(parallel, 1, &dirs[1]), kInf);
    EXPECT_TRUE(dirs[0] == 1 && dirs[1] == -1);
}

TEST(Bezier, FindRoots) {
    double roots[6];
    int32_t dirs[6];
    // One sign change on a flat polygon: its chord at once.
    ASSERT_EQ(FindRoots(kStraight, 3, roots, 0, dirs), 1);
    EXPECT_TRUE(roots[0] == 1.5 && dirs[0] == -1);
    EXPECT_EQ(FindRoots(kArch, 3, roots, 0, dirs), 0);
    EXPECT_EQ(MaxDepth, 64);
    // At MaxDepth one sign change takes the chord's middle; one level earlier it is halved.
    const Point2 bent[3] = {{0, -1}, {1, 5}, {4, 1}};
    ASSERT_EQ(FindRoots(bent, 2, roots, MaxDepth, dirs), 1);
    EXPECT_TRUE(roots[0] == 2 && dirs[0] == -1);
    ASSERT_EQ(FindRoots(bent, 2, roots, MaxDepth - 1, dirs), 1);
    EXPECT_EQ(roots[0], 0.75);  // middle of the left half's chord (0 + 1.5) / 2
    // (t - 0.1)(t - 0.3)(t - 0.5)(t - 0.7)(t - 0.9) in Bernstein form: found left to right,
    // starting negative, so rising (-1) then falling (+1) in turn.
    const Point2 quintic[6] = {{0, -0.00945},  {0.2, 0.02433},  {0.4, -0.03689},
                               {0.6, 0.03689}, {0.8, -0.02433}, {1, 0.00945}};
    ASSERT_EQ(FindRoots(quintic, 5, roots, 0, dirs), 5);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(std::fabs(roots[i] - 0.1 - 0.2 * i) < 1e-9 && dirs[i] == (i % 2 ? 1 : -1));
    // (1 - 2t)^5: a five-fold root at 0.5, found once.
    const Point2 fivefold[6] = {{0, 1}, {0.2, -1}, {0.4, 1}, {0.6, -1}, {0.8, 1}, {1, -1}};
    ASSERT_EQ(FindRoots(fivefold, 5, roots, 0, dirs), 1);
    EXPECT_NEAR(roots[0], 0.5, 1e-9);
    // Hostile values (alternating signs; NaN only first) end the recursion with a defined count.
    for (double a : {kNaN, kInf, 1e-300, 1e308}) {
        for (double x5 : {1.0, kNaN, kInf}) {
            Point2 w[6];
            for (int i = 0; i < 6; ++i) w[i] = {i == 5 ? x5 : 0.2 * i, (i % 2 ? -1 : 1) * (i && std::isnan(a) ? 1 : a)};
            for (int n = 1; n <= 5; ++n) EXPECT_LE(FindRoots(w, n, roots, 0, dirs), n);
        }
    }
}

TEST(NearestPoint, EdgeCasesAndTheDiagnosticLine) {
    // (5, 20) seen from the arch: c = (-5,-20) (-5,-10) (5,-10) (5,-20), d = (0,30) (30,0)
    // (0,-30); w0 = d0.c0 = -600, w1 = 0.4 d1.c0 + 0.6 d0.c1 = -240.
    const std::array<Point2, 6> w = ConvertToBezierForm({5, 20}, kArch);
    EXPECT_TRUE(w[0].y == -600 && w[1].y == -240 && w[4].y == 240 && w[5].y == 600 && w[2].x == 0.4);
    Point2 q;
    // The parameter as the hit test prints it.
    const auto nearest = [&q](Point2 p, const Point2* v) {
        double t = -1;
        return Output([&] { q = NearestPointOnCurve(p, v, &t), platform::PrintCurveParameter(t); });
    };
    EXPECT_EQ(nearest({5, 20}, kArch), "t : 0.500000000000\n");
    EXPECT_TRUE(std::fabs(q.x - 5) < 1e-12 && std::fabs(q.y - 7.5) < 1e-12);
    EXPECT_EQ(nearest({0, 0}, kArch), "t : 0.000000000000\n");
    EXPECT_TRUE(q.x == 0 && q.y == 0);
    EXPECT_EQ(nearest({10, 0}, kArch), "t : 1.000000000000\n");
    EXPECT_TRUE(q.x == 10 && q.y == 0);
    const Point2 dot[4] = {{3, 4}, {3, 4}, {3, 4}, {3, 4}};  // no roots: the start
    EXPECT_EQ(nearest({9, 9}, dot), "t : 0.000000000000\n");
    EXPECT_TRUE(q.x == 3 && q.y == 4);
    // Both ends equally near, the curve bending away: the earlier candidate stays.
    EXPECT_EQ(nearest({5, -10}, kArch), "t : 0.000000000000\n");
}

TEST(NearestPoint, CrossingsAndTheHitBand) {
    for (const auto& row : test::ReadRows("geometry/curve_hit.txt")) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 15u);
        double f[11];
        for (size_t i = 0; i < 11; ++i) f[i] = row.fields[i] == "ray" ? 0 : test::NumberField(row.fields[i]);
        const Point2 v[4] = {{f[0], f[1]}, {f[2], f[3]}, {f[4], f[5]}, {f[6], f[7]}};
        int32_t n = 0, w = 0;
        std::optional<double> t;
        std::string hit = "-";
        if (row.fields[10] == "ray") {
            CurveLineCrossings(v, f[8], f[9], &n, &w);
        } else {
            hit = std::to_string(CurveSegmentHit(v, f[8], f[9], f[10], &n, &w, &t));
        }
        EXPECT_EQ(hit + " " + std::to_string(n) + " " + std::to_string(w) + " " + (t ? "t" : "-"),
                  row.fields[11] + " " + row.fields[12] + " " + row.fields[13] + " " + row.fields[14]);
    }
}

// The method as first written: de Casteljau on a full triangle, the flatness of every
// interior point weighed on its own, one recursion per half with its own root lists. The
// only additions are the ones the library has always had: the root lists' capacity and a
// depth past which a piece with several sign changes yields nothing. Faster versions of the
// root finder must give exactly these bits.
namespace reference {

Point2 Evaluate(const Point2* v, int n, double t, Point2* left, Point2* right) {
    Point2 p[6][6];
    for (int j = 0; j <= n; ++j) p[0][j] = v[j];
    for (int i = 1; i <= n; ++i) {
        for (int j = 0; j <= n - i; ++j) {
            p[i][j].x = (1.0 - t) * p[i - 1][j].x + t * p[i - 1][j + 1].x;
            p[i][j].y = (1.0 - t) * p[i - 1][j].y + t * p[i - 1][j + 1].y;
        }
    }
    for (int j = 0; j <= n; ++j) {
        if (left) left[j] = p[j][0];
        if (right) right[j] = p[n - j][j];
    }
    return p[n][0];
}

bool Flat(const Point2* w, int n) {
    const double a = w[0].y - w[n].y, b = w[n].x - w[0].x;
    const double c = w[0].x * w[n].y - w[n].x * w[0].y, s = a * a + b * b;
    double above = 0.0, below = 0.0;
    for (int i = 1; i < n; ++i) {
        double e = a * w[i].x + b * w[i].y + c;
        if (e > 0.0) e = e * e / s;
        else if (e < 0.0) e = -(e * e / s);
        if (e > above) above = e;
        if (e < below) below = e;
    }
    const double i1 = (c + above - 0.0 * b) / (0.0 * b - a);
    const double i2 = (c + below - 0.0 * b) / (0.0 * b - a);
    if (std::isnan(i1) || std::isnan(i2)) return false;
    return 0.5 * ((i1 > i2 ? i1 : i2) - (i1 < i2 ? i1 : i2)) < Epsilon;
}

int32_t Roots(const Point2* w, int n, double* roots, int32_t* dirs, int32_t capacity, int32_t depth) {
    int count = 0;
    for (int i = 1; i <= n; ++i) count += (w[i].y < 0.0) != (w[i - 1].y < 0.0);
    if (count == 0) return 0;
    if (count == 1 && (depth >= MaxDepth || Flat(w, n))) {
        if (capacity < 1) return 0;
        const double dx = w[n].x - w[0].x, dy = w[n].y - w[0].y;
        dirs[0] = dy < 0.0 ? 1 : -1;
        roots[0] =
            depth >= MaxDepth ? (w[0].x + w[n].x) / 2.0 : (dx * w[0].y - w[0].x * dy) * (1.0 / (0.0 * dx - dy)) + 0.0;
        return 1;
    }
    if (depth >= 512) return 0;
    Point2 left[6], right[6];
    Evaluate(w, n, 0.5, left, right);
    double lr[6], rr[6];
    int32_t ld[6], rd[6];
    const int32_t nl = Roots(left, n, lr, ld, capacity, depth + 1);
    const int32_t nr = Roots(right, n, rr, rd, capacity - nl, depth + 1);
    for (int32_t i = 0; i < nl; ++i) roots[i] = lr[i], dirs[i] = ld[i];
    for (int32_t i = 0; i < nr; ++i) roots[nl + i] = rr[i], dirs[nl + i] = rd[i];
    return nl + nr;
}

Point2 Nearest(Point2 p, const Point2* v, std::string& out) {
    const double z[3][4] = {{1.0, 0.6, 0.3, 0.1}, {0.4, 0.6, 0.6, 0.4}, {0.1, 0.3, 0.6, 1.0}};
    Point2 c[4], d[3], w[6];
    for (int i = 0; i <= 3; ++i) c[i] = {v[i].x - p.x, v[i].y - p.y};
    for (int i = 0; i <= 2; ++i) d[i] = {(v[i + 1].x - v[i].x) * 3.0, (v[i + 1].y - v[i].y) * 3.0};
    for (int i = 0; i <= 5; ++i) w[i] = {i / 5.0, 0.0};
    for (int k = 0; k <= 5; ++k) {
        for (int i = std::max(0, k - 2); i <= std::min(k, 3); ++i) {
            w[k].y += (d[k - i].x * c[i].x + d[k - i].y * c[i].y) * z[k - i][i];
        }
    }
    double t[6];
    int32_t dirs[6];
    const int32_t n = Roots(w, 5, t, dirs, 6, 0);
    auto dist = [&p](Point2 q) { return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y); };
    double best = dist(v[0]), tBest = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const double d2 = dist(Evaluate(v, 3, t[i], nullptr, nullptr));
        if (best > d2) best = d2, tBest = t[i];
    }
    if (best > dist(v[3])) tBest = 1.0;
    out += text::FormatNarrow("t : %4.12f\n", {tBest});  // the general formatter, as printf prints it
    return Evaluate(v, 3, tBest, nullptr, nullptr);
}

}  // namespace reference

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(NearestPoint, BitIdenticalToTheReference) {
    std::vector<test::CurveCase> cases = test::RandomCurveCases(10000);
    // And a few hostile ones: one coordinate of the curve or the point replaced.
    const double hostile[] = {kNaN, kInf, -kInf, 1e300, -1e300, 1e-300, 5e-324, 0.0, -0.0};
    for (size_t i = 0; i < 180; ++i) {
        double* slot = &cases[i].v[0].x + (i * 7) % 10;
        *slot = hostile[i % 9];
    }
    std::string expected;
    std::vector<Point2> nearest;
    for (const test::CurveCase& c : cases) nearest.push_back(reference::Nearest(c.p, c.v, expected));
    size_t i = 0, differing = 0, first = 0;
    const std::string printed = Output([&] {
        for (; i < cases.size(); ++i) {
            const test::CurveCase& c = cases[i];
            double t;
            bool same = SameBits(NearestPointOnCurve(c.p, c.v, &t), nearest[i]);
            platform::PrintCurveParameter(t);
            // The two polygons the root finder sees: the distance polynomial and the curve
            // shifted to the point's height.
            const std::array<Point2, 6> w = ConvertToBezierForm(c.p, c.v);
            Point2 shifted[4];
            for (int k = 0; k < 4; ++k) shifted[k] = {c.v[k].x, c.v[k].y - c.p.y};
            for (const auto& [poly, n] :
                 {std::make_pair(w.data(), 5), std::make_pair(static_cast<const Point2*>(shifted), 3)}) {
                double roots[6], want[6];
                int32_t dirs[6], wantDirs[6];
                const int32_t count = FindRoots(poly, n, roots, 0, dirs);
                same = same && count == reference::Roots(poly, n, want, wantDirs, 6, 0);
                for (int32_t k = 0; same && k < count; ++k)
                    same = SameBits(roots[k], want[k]) && dirs[k] == wantDirs[k];
            }
            if (!same && differing++ == 0) first = i;
        }
    });
    EXPECT_EQ(differing, 0u) << "first at case " << first;
    EXPECT_TRUE(printed == expected) << "the diagnostic lines differ";
}

}  // namespace
}  // namespace vx::geom
