// Nearest point on a cubic: ours against lib2geom's CubicBezier::nearestTime, over the same
// seeded random curves and points. Our diagnostic line goes to /dev/null (fully buffered)
// while the loop is timed. BM_NearestPoint_Speed times the two in alternation and reports
// speed_vs_lib2geom: lib2geom's time per point over ours (the goal is at least 1.5).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "alternate.h"
#include "quiet_stdout.h"
#include "geometry/nearest_point.h"

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

void BM_NearestPoint_Ostrel(benchmark::State& state) {
    const std::vector<Case>& cases = Cases();
    QuietStdout quiet;
    size_t i = 0;
    for (auto _ : state) {
        const Case& c = cases[i++ & 1023];
        benchmark::DoNotOptimize(vx::geom::NearestPointOnCurve(c.p, c.v));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NearestPoint_Ostrel);

#if defined(OSTREL_HAVE_LIB2GEOM)
void BM_NearestPoint_Lib2geom(benchmark::State& state) {
    const std::vector<Case>& cases = Cases();
    std::vector<Geom::CubicBezier> curves;
    for (const Case& c : cases) {
        curves.emplace_back(Geom::Point(c.v[0].x, c.v[0].y), Geom::Point(c.v[1].x, c.v[1].y),
                            Geom::Point(c.v[2].x, c.v[2].y), Geom::Point(c.v[3].x, c.v[3].y));
    }
    QuietStdout quiet;  // the same conditions, though lib2geom prints nothing
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ & 1023;
        const Geom::Point p(cases[k].p.x, cases[k].p.y);
        benchmark::DoNotOptimize(curves[k].pointAt(curves[k].nearestTime(p)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NearestPoint_Lib2geom);

void BM_NearestPoint_Speed(benchmark::State& state) {
    const std::vector<Case>& cases = Cases();
    std::vector<Geom::CubicBezier> curves;
    for (const Case& c : cases) {
        curves.emplace_back(Geom::Point(c.v[0].x, c.v[0].y), Geom::Point(c.v[1].x, c.v[1].y),
                            Geom::Point(c.v[2].x, c.v[2].y), Geom::Point(c.v[3].x, c.v[3].y));
    }
    QuietStdout quiet;
    size_t i = 0, j = 0;
    bench_support::Compare(
        state, "speed_vs_lib2geom", "lib2geom", "ours",
        [&] {
            const size_t k = i++ & 1023;
            const Geom::Point p(cases[k].p.x, cases[k].p.y);
            benchmark::DoNotOptimize(curves[k].pointAt(curves[k].nearestTime(p)));
        },
        [&] {
            const Case& c = cases[j++ & 1023];
            benchmark::DoNotOptimize(vx::geom::NearestPointOnCurve(c.p, c.v));
        });
}
BENCHMARK(BM_NearestPoint_Speed)->Iterations(1)->Unit(benchmark::kMillisecond);

// Not timed: how far apart the two answers are, as the largest difference between the two
// distances found (a counter of the benchmark).
void BM_NearestPoint_Agreement(benchmark::State& state) {
    const std::vector<Case>& cases = Cases();
    double worst = 0.0;
    for (auto _ : state) {
        QuietStdout quiet;
        for (const Case& c : cases) {
            const Point2 ours = vx::geom::NearestPointOnCurve(c.p, c.v);
            Geom::CubicBezier curve(Geom::Point(c.v[0].x, c.v[0].y), Geom::Point(c.v[1].x, c.v[1].y),
                                    Geom::Point(c.v[2].x, c.v[2].y), Geom::Point(c.v[3].x, c.v[3].y));
            const Geom::Point theirs = curve.pointAt(curve.nearestTime(Geom::Point(c.p.x, c.p.y)));
            const double a = std::hypot(ours.x - c.p.x, ours.y - c.p.y);
            const double b = std::hypot(theirs[Geom::X] - c.p.x, theirs[Geom::Y] - c.p.y);
            worst = std::fmax(worst, std::fabs(a - b));
        }
    }
    state.counters["max_distance_difference"] = worst;
}
BENCHMARK(BM_NearestPoint_Agreement)->Iterations(1);
#endif

}  // namespace
