// MouseMove over a canvas of 10,000 paths: every bundled template figure, rectangles and
// Bezier curves on a 100 x 100 grid. The pointer rests over empty space, over the body of
// the bottom path (so every path above it is asked first), or over a handle of a selected
// path (asked before any other). The limit is a bare loop over the same paths' widened boxes,
// which is the least any hover test must do; the ratio says how close MouseMove comes to it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editor/editor.h"
#include "interface/global_parameters.h"
#include "path/geometry.h"
#include "identity_host.h"
#include "quiet_stdout.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace {

constexpr int kSide = 100;          // paths per row and column
constexpr double kPitch = 80.0;     // grid spacing; each figure is 30 x 30
constexpr double kSize = 30.0;

std::string FiguresFolder() {
    std::string here = __FILE__;  // .../bench/editor_bench.cpp
    here.resize(here.find_last_of("/\\"));
    here.resize(here.find_last_of("/\\"));
    return here + "/figures";
}

// Path i sits in cell (i % kSide, i / kSide): a template figure, a rectangle or a curve.
IVXPath* MakePath(int i, int kind, const std::vector<vx::String>& names) {
    const double x = (i % kSide) * kPitch, y = (i / kSide) * kPitch;
    if (kind < static_cast<int>(names.size())) {
        PathCreateParams p{};
        p.left = x, p.top = y, p.right = x + kSize, p.bottom = y + kSize;
        names[static_cast<size_t>(kind)].copy(p.name, names[static_cast<size_t>(kind)].size());
        if (IVXPath* path = VX_CreatePathEx(&p)) return path;
    }
    IVXPath* path = VX_CreatePath();
    if (kind == static_cast<int>(names.size()) + 1) {
        path->AddNode(0, x, y + kSize, 0, 0, 0, 0);
        path->AddNode(2, x + 10, y, x + 20, y + 2 * kSize, x + kSize, y + kSize / 2);
    } else {
        path->AddNode(5, x, y, kSize, kSize, 0, 0);
    }
    return path;
}

struct Canvas {
    bench_support::IdentityHost host;
    vx::CVXEditor* editor = nullptr;
    std::vector<vx::Rect> boxes;  // each path's box widened as the hit test's rejection does

    Canvas() {
        VX_Initial(vx::text::FromUtf8(FiguresFolder()).c_str());
        const std::vector<vx::String> names = vx::TemplateLibrary::Instance().Names();
        editor = static_cast<vx::CVXEditor*>(VX_CreateGraphicCanvas(&host));
        editor->SetEditMode(0);
        const double margin = 2.0 * vx::g_parameters.MarkSizeValue();
        for (int i = 0; i < kSide * kSide; ++i) {
            const int kinds = static_cast<int>(names.size()) + 2;
            IVXPath* path = MakePath(i, i == 0 ? kinds - 2 : i % kinds, names);
            editor->AddPath(path);
            path->Release();
            double x[4], y[4];
            path->GetOrientedCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
            vx::Rect box = vx::BoxOfPoints(x, y, 4);
            boxes.push_back({box.x1 - margin, box.y1 - margin, box.x2 + margin, box.y2 + margin});
        }
    }
};

Canvas& TheCanvas() {
    static Canvas* canvas = new Canvas;
    return *canvas;
}

enum Where { kEmpty, kBody, kHandle };

// Path 0 is the rectangle (0, 0)-(30, 30): its top edge is its body, its top-left corner a
// handle once it is selected.
void Aim(Canvas& c, Where where, double* x, double* y) {
    c.editor->GetSelections()->Clear();
    if (where == kHandle) c.editor->GetSelections()->Add(c.editor->GetPath(0));
    const double at[3][2] = {{kPitch * 50 - 25, kPitch * 50 - 25}, {15, 0}, {0, 0}};
    *x = at[where][0], *y = at[where][1];
}

void PerPath(benchmark::State& state) {
    state.counters["ns_per_path"] = benchmark::Counter(
        kSide * kSide, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MouseMove(benchmark::State& state) {
    Canvas& c = TheCanvas();
    double x, y;
    Aim(c, static_cast<Where>(state.range(0)), &x, &y);
    bench_support::QuietStdout quiet;
    for (auto _ : state) c.editor->MouseMove(x, y);
    const int expected[3] = {0, 17, 3};
    if (c.host.lastCode != expected[state.range(0)] && state.range(0) != kEmpty) {
        state.SkipWithError("the pointer is not where the benchmark meant it to be");
    }
    PerPath(state);
}
BENCHMARK(BM_MouseMove)->ArgName("empty0_body1_handle2")->DenseRange(0, 2);

// The limit: the same paths' boxes, top down, until one holds the point.
void BM_BoxLoop(benchmark::State& state) {
    Canvas& c = TheCanvas();
    double x, y;
    Aim(c, static_cast<Where>(state.range(0)), &x, &y);
    for (auto _ : state) {
        int found = -1;
        for (int i = static_cast<int>(c.boxes.size()) - 1; i >= 0; --i) {
            if (vx::PointInRect(c.boxes[static_cast<size_t>(i)], x, y)) {
                found = i;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    PerPath(state);
}
BENCHMARK(BM_BoxLoop)->ArgName("empty0_body1_handle2")->DenseRange(0, 2);

}  // namespace
