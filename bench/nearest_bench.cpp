// Nearest point on a cubic: ours against lib2geom's CubicBezier::nearestTime, over the same
// seeded random curves and points, timed in alternating batches; speed_vs_lib2geom is
// lib2geom's time per point over ours (the goal is at least 1.5). Our diagnostic line goes
// to /dev/null (fully buffered) while the loop is timed. How far the two answers lie apart
// is a test (tests/references/nearest_point_test.cpp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "alternate.h"
#include "quiet_stdout.h"
#include "geometry/nearest_point.h"
#include "platform/debug_output.h"

#if defined(OSTREL_HAVE_LIB2GEOM)
#include <2geom/bezier-curve.h>
#endif

namespace {

using vx::geom::Point2;

using bench_support::QuietStdout;

struct Case {
    Point2 v[4];
    Point2 p;
};

// Curves in a 500-pixel square, points around them.
const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = [] {
        std::mt19937 gen(4242u);
        auto u = [&gen] { return gen() / 4294967296.0 * 500.0; };
        std::vector<Case> out(1024);
        for (Case& c : out) {
            for (Point2& q : c.v) q = {u(), u()};
            c.p = {u(), u()};
        }
        return out;
    }();
    return cases;
}

// A point per call; against lib2geom in alternating batches where it is installed.
void BM_NearestPoint(benchmark::State& state) {
    const std::vector<Case>& cases = Cases();
    QuietStdout quiet;
    size_t i = 0;
    const auto ours = [&] {
        const Case& c = cases[i++ & 1023];
        // With the diagnostic line that the hit test prints for each curve it measures.
        double t;
        benchmark::DoNotOptimize(vx::geom::NearestPointOnCurve(c.p, c.v, &t));
        vx::platform::PrintCurveParameter(t);
    };
#if defined(OSTREL_HAVE_LIB2GEOM)
    std::vector<Geom::CubicBezier> curves;
    for (const Case& c : cases) {
        curves.emplace_back(Geom::Point(c.v[0].x, c.v[0].y), Geom::Point(c.v[1].x, c.v[1].y),
                            Geom::Point(c.v[2].x, c.v[2].y), Geom::Point(c.v[3].x, c.v[3].y));
    }
    size_t j = 0;
    bench_support::Compare(
        state, "speed_vs_lib2geom", "lib2geom", "ours",
        [&] {
            const size_t k = j++ & 1023;
            benchmark::DoNotOptimize(
                curves[k].pointAt(curves[k].nearestTime(Geom::Point(cases[k].p.x, cases[k].p.y))));
        },
        ours);
#else
    for (auto _ : state) ours();
#endif
}
BENCHMARK(BM_NearestPoint)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
