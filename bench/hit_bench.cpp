// The whole hit test of one path against cairo_in_stroke + cairo_in_fill on the same
// geometry and points; and the box rejection over many paths that the point misses. Where
// cairo is installed the two run in alternating batches (bench/alternate.h) and
// speed_vs_cairo is cairo's time over ours; without it only our times are printed.
//
// The path: an ellipse of four cubics and a 200-segment zigzag polyline, filled by the
// nonzero rule; the outline counts within 2 pixels (cairo: a stroke 4 wide). Our curve
// code's diagnostic lines go to /dev/null (fully buffered) while the loops are timed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "alternate.h"
#include "identity_host.h"
#include "quiet_stdout.h"
#include "editor/editor.h"
#include "path/parameters.h"
#include "path/hit_test.h"
#include "path/path.h"

#if defined(OSTREL_HAVE_CAIRO)
#include <cairo.h>
#endif

namespace {

using bench_support::IdentityHost;
using bench_support::QuietStdout;

class Fill final : public IVXFillObject {
public:
    int32_t AddRef() override { return 2; }
    int32_t Release() override { return 1; }
    int32_t FillRule() override { return VX_FILL_NONZERO; }
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kCx = 400, kCy = 300, kRx = 200, kRy = 120, kArc = 0.55228475;

struct Command {
    int kind;  // node kind
    double v[6];
};

// The geometry, once, for both libraries.
const std::vector<Command>& Geometry() {
    static const std::vector<Command> commands = [] {
        const double kx = kArc * kRx, ky = kArc * kRy;
        std::vector<Command> c = {
            {0, {kCx + kRx, kCy}},
            {2, {kCx + kRx, kCy + ky, kCx + kx, kCy + kRy, kCx, kCy + kRy}},
            {2, {kCx - kx, kCy + kRy, kCx - kRx, kCy + ky, kCx - kRx, kCy}},
            {2, {kCx - kRx, kCy - ky, kCx - kx, kCy - kRy, kCx, kCy - kRy}},
            {2, {kCx + kx, kCy - kRy, kCx + kRx, kCy - ky, kCx + kRx, kCy}},
            {6, {}},
            // A zigzag band below the ellipse: 200 segments, 3 pixels apart, 40 high.
            {0, {100, 460}},
        };
        for (int i = 1; i <= 200; ++i) c.push_back({1, {100 + 3.0 * i, i % 2 ? 500.0 : 460.0}});
        return c;
    }();
    return commands;
}

enum class Where { Near, Inside, Far };

// 1024 points of one kind: within a pixel of the outline, inside the ellipse away from the
// outline, or far from the path (outside its box).
std::vector<std::pair<double, double>> Points(Where where) {
    std::mt19937 gen(where == Where::Near ? 1u : where == Where::Inside ? 2u : 3u);
    auto u = [&gen] { return gen() / 4294967296.0; };
    std::vector<std::pair<double, double>> out;
    while (out.size() < 1024) {
        if (where == Where::Near) {
            if (out.size() % 2 == 0) {
                const double a = 2 * kPi * u();
                const double r = 1 + (u() - 0.5) * 1.6 / kRy;
                out.push_back({kCx + kRx * r * std::cos(a), kCy + kRy * r * std::sin(a)});
            } else {
                // Along a zigzag segment, half a pixel off.
                const int i = 1 + static_cast<int>(u() * 199);
                const double t = u();
                const double x0 = 100 + 3.0 * (i - 1), y0 = (i - 1) % 2 ? 500.0 : 460.0;
                const double x1 = 100 + 3.0 * i, y1 = i % 2 ? 500.0 : 460.0;
                out.push_back({x0 + t * (x1 - x0) + 0.5, y0 + t * (y1 - y0)});
            }
        } else if (where == Where::Inside) {
            const double a = 2 * kPi * u();
            const double r = 0.9 * std::sqrt(u());
            out.push_back({kCx + kRx * r * std::cos(a), kCy + kRy * r * std::sin(a)});
        } else {
            out.push_back({900 + 300 * u(), 600 * u()});
        }
    }
    return out;
}

vx::CVXPath* MakePath(const std::vector<Command>& commands) {
    vx::CVXPath* path = vx::CVXPath::Create();
    for (const Command& c : commands)
        path->AddNode(c.kind, c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5]);
    return path;
}

// Ours against cairo where it is installed, else ours alone.
template <typename Ours, typename Theirs>
void Compare(benchmark::State& state, Ours&& ours, [[maybe_unused]] Theirs&& theirs) {
#if defined(OSTREL_HAVE_CAIRO)
    bench_support::Compare(state, "speed_vs_cairo", "cairo", "ours", theirs, ours);
#else
    for (auto _ : state) ours();
#endif
}

#if defined(OSTREL_HAVE_CAIRO)
void AppendToCairo(cairo_t* cr, const std::vector<Command>& commands) {
    for (const Command& c : commands) {
        switch (c.kind) {
            case 0: cairo_move_to(cr, c.v[0], c.v[1]); break;
            case 1: cairo_line_to(cr, c.v[0], c.v[1]); break;
            case 2: cairo_curve_to(cr, c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5]); break;
            case 6: cairo_close_path(cr); break;
        }
    }
}

// A context with a stroke 4 wide and the nonzero rule.
cairo_t* NewCairo() {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    cairo_surface_destroy(surface);  // the context keeps it
    cairo_set_line_width(cr, 4.0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    return cr;
}
#endif

// One path, 1024 points of one kind, a point per call.
void BM_HitTestPath(benchmark::State& state) {
    const auto points = Points(static_cast<Where>(state.range(0)));
    vx::CVXPath* path = MakePath(Geometry());
    Fill fill;
    path->SetFillObject(&fill);
    IdentityHost host;
    IGraphicCanvas* canvas = VX_CreateGraphicCanvas(&host);
    auto* editor = static_cast<vx::CVXEditor*>(canvas);
    QuietStdout quiet;
    size_t i = 0, j = 0;
    int64_t hits = 0, calls = 0;
#if defined(OSTREL_HAVE_CAIRO)
    cairo_t* cr = NewCairo();
    AppendToCairo(cr, Geometry());
#endif
    Compare(
        state,
        [&] {
            const auto& p = points[i++ & 1023];
            int32_t part;
            hits += path->HitTestPath(editor->Gate(), &editor->Selections(), p.first, p.second, 1,
                                      &part) == vx::kHitFigure;
            ++calls;
        },
        [&] {
#if defined(OSTREL_HAVE_CAIRO)
            const auto& p = points[j++ & 1023];
            benchmark::DoNotOptimize(cairo_in_stroke(cr, p.first, p.second) ||
                                     cairo_in_fill(cr, p.first, p.second));
#endif
        });
    state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(calls);
#if defined(OSTREL_HAVE_CAIRO)
    cairo_destroy(cr);
#endif
    path->SetFillObject(nullptr);
    path->Release();
    VX_DestroyGraphicCanvas(canvas);
}
BENCHMARK(BM_HitTestPath)
    ->ArgName("near0_inside1_far2")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Many small squares on a grid; the point lies beyond all of them.
std::vector<vx::CVXPath*> Grid(int64_t count) {
    std::vector<vx::CVXPath*> paths;
    for (int64_t i = 0; i < count; ++i) {
        vx::CVXPath* p = vx::CVXPath::Create();
        const double x = 40.0 * static_cast<double>(i % 100),
                     y = 40.0 * static_cast<double>(i / 100);
        p->AddNode(VX_NODE_RECT, x, y, 20, 20, 0, 0);
        paths.push_back(p);
    }
    return paths;
}

// The point beyond every square, asked of every path in turn (cairo: set the path, then
// in_stroke || in_fill); a call is one pass over all of them.
void BM_BoxRejection(benchmark::State& state) {
    std::vector<vx::CVXPath*> paths = Grid(state.range(0));
    IdentityHost host;
    IGraphicCanvas* canvas = VX_CreateGraphicCanvas(&host);
    auto* editor = static_cast<vx::CVXEditor*>(canvas);
    int64_t hits = 0;
#if defined(OSTREL_HAVE_CAIRO)
    std::vector<cairo_path_t*> copies;
    cairo_t* cr = NewCairo();
    for (int64_t i = 0; i < state.range(0); ++i) {
        cairo_new_path(cr);
        cairo_rectangle(cr, 40.0 * static_cast<double>(i % 100),
                        40.0 * static_cast<double>(i / 100), 20, 20);
        copies.push_back(cairo_copy_path(cr));
    }
#endif
    Compare(
        state,
        [&] {
            for (vx::CVXPath* p : paths) {
                int32_t part;
                hits +=
                    p->HitTestPath(editor->Gate(), &editor->Selections(), -500.0, -500.0, 0, &part);
            }
        },
        [&] {
#if defined(OSTREL_HAVE_CAIRO)
            for (cairo_path_t* p : copies) {
                cairo_new_path(cr);
                cairo_append_path(cr, p);
                hits += cairo_in_stroke(cr, -500.0, -500.0) || cairo_in_fill(cr, -500.0, -500.0);
            }
#endif
        });
    benchmark::DoNotOptimize(hits);
#if defined(OSTREL_HAVE_CAIRO)
    for (cairo_path_t* p : copies) cairo_path_destroy(p);
    cairo_destroy(cr);
#endif
    for (vx::CVXPath* p : paths) p->Release();
    VX_DestroyGraphicCanvas(canvas);
}
BENCHMARK(BM_BoxRejection)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
