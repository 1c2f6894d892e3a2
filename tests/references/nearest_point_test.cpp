// The nearest point on a cubic against lib2geom (CubicBezier::nearestTime) over the 10,000
// seeded curves of the bit-identity test, with a long-double search as the judge wherever
// the two distances differ by more than 1e-9 of the curve's size.
//
// What it shows: the method's flatness bound (2^-65 on a measure that mixes the parameter
// with squared distances) makes its accuracy depend on scale. On screen-sized curves the
// two agree within 1e-9 but for a few cases off by up to 3e-8 pixels, and a point lying on
// the curve comes out up to 2e-4 pixels away; in all those cases lib2geom is nearer the
// truth. For coordinates beyond about 1e5 our answer can pick the wrong minimum, and below
// about 1e-3 lib2geom's can: the counts of who is nearer are printed and kept as test
// properties. The bounds below hold today's answers (which the bit-identity test fixes).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <2geom/bezier-curve.h>

#include "geometry/nearest_point.h"
#include "support/random_curves.h"

namespace vx::geom {
namespace {

using Long = long double;

// The true distance: every place where (B(t) - P) . B'(t) goes from negative to positive
// (a local minimum), bracketed on a fine grid and bisected in long double, and both ends.
Long TrueDistance(const Point2* v, Point2 p) {
    auto at = [&](Long t, Long* dx, Long* dy, Long* g) {
        const Long s = 1 - t;
        *dx = s * s * s * v[0].x + 3 * s * s * t * v[1].x + 3 * s * t * t * v[2].x + t * t * t * v[3].x - p.x;
        *dy = s * s * s * v[0].y + 3 * s * s * t * v[1].y + 3 * s * t * t * v[2].y + t * t * t * v[3].y - p.y;
        const Long ex = s * s * (v[1].x - v[0].x) + 2 * s * t * (v[2].x - v[1].x) + t * t * (v[3].x - v[2].x);
        const Long ey = s * s * (v[1].y - v[0].y) + 2 * s * t * (v[2].y - v[1].y) + t * t * (v[3].y - v[2].y);
        *g = *dx * ex + *dy * ey;
        return *dx * *dx + *dy * *dy;
    };
    Long dx, dy, g, previous;
    Long best = at(1, &dx, &dy, &g);
    best = std::min(best, at(0, &dx, &dy, &previous));
    constexpr int kSteps = 5000;
    for (int i = 1; i <= kSteps; ++i) {
        const Long t = static_cast<Long>(i) / kSteps;
        at(t, &dx, &dy, &g);
        if (previous < 0 && g >= 0) {
            Long a = t - Long(1) / kSteps, b = t, h;
            for (int k = 0; k < 80; ++k) {
                const Long m = (a + b) / 2;
                at(m, &dx, &dy, &h);
                (h < 0 ? a : b) = m;
            }
            best = std::min(best, at((a + b) / 2, &dx, &dy, &h));
        }
        previous = g;
    }
    return std::sqrt(best);
}

TEST(AgainstLib2geom, NearestPointDistances) {
    const std::vector<test::CurveCase> cases = test::RandomCurveCases(10000);
    double screenWorst = 0.0, onCurveWorst = 0.0;
    int screenOver = 0, oursNearer = 0, theirsNearer = 0;
    ::testing::internal::CaptureStdout();  // our diagnostic lines
    for (size_t i = 0; i < cases.size(); ++i) {
        const test::CurveCase& c = cases[i];
        const Point2 q = NearestPointOnCurve(c.p, c.v);
        const Geom::CubicBezier curve(Geom::Point(c.v[0].x, c.v[0].y), Geom::Point(c.v[1].x, c.v[1].y),
                                      Geom::Point(c.v[2].x, c.v[2].y), Geom::Point(c.v[3].x, c.v[3].y));
        const Geom::Point r = curve.pointAt(curve.nearestTime(Geom::Point(c.p.x, c.p.y)));
        const double ours = std::hypot(q.x - c.p.x, q.y - c.p.y);
        const double theirs = std::hypot(r[Geom::X] - c.p.x, r[Geom::Y] - c.p.y);
        double size = 0.0;
        for (const Point2& z : c.v) size = std::max({size, std::fabs(z.x), std::fabs(z.y)});
        const double difference = std::fabs(ours - theirs);
        const size_t kind = i % 8;  // the generator's kinds: 6 points on the curve, 7 scaled
        if (kind < 6) {
            screenWorst = std::max(screenWorst, difference);
            screenOver += difference > 1e-9;
        }
        if (kind == 6) onCurveWorst = std::max(onCurveWorst, ours);
        if (difference > 1e-9 * std::max(1.0, size / 500)) {
            const Long truth = TrueDistance(c.v, c.p);
            (std::fabs(ours - truth) <= std::fabs(theirs - truth) ? oursNearer : theirsNearer) += 1;
        }
    }
    ::testing::internal::GetCapturedStdout();
    std::fprintf(stderr,
                 "nearest point: where the distances differ, lib2geom is nearer the truth in %d cases, "
                 "ours in %d\n",
                 theirsNearer, oursNearer);
    RecordProperty("lib2geom_nearer", theirsNearer);
    RecordProperty("ours_nearer", oursNearer);
    EXPECT_LE(screenWorst, 1e-7);
    EXPECT_LE(screenOver, 20);  // of 7,500
    EXPECT_LE(onCurveWorst, 2e-4);
    EXPECT_GT(theirsNearer + oursNearer, 0);
}

}  // namespace
}  // namespace vx::geom
