// MouseMove over canvases of 1,000, 10,000 and 100,000 paths: every bundled template
// figure, rectangles and Bezier curves on a grid 100 paths wide. The pointer rests over
// empty space, over the body of the bottom path (so every path above it is asked first),
// or over a handle of a selected path (asked before any other).
//
// The floor is what any hover test must do: the same paths' boxes held contiguously, asked
// in the editor's order until one holds the point, each costing the two host calls the hit
// test must make for a path it misses (ToScreen of the box's corners, through the host's
// table), then the calls the hit path makes before its answer (counted on the host) and the
// feedback. The floor and MouseMove make exactly the same host calls, which the benchmark
// checks. BM_Hover times the two in alternation and prints x_floor: MouseMove's time over
// the floor's.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alternate.h"
#include "editor/editor.h"
#include "identity_host.h"
#include "path/parameters.h"
#include "geometry/transform.h"
#include "path/hit_test.h"
#include "path/path.h"
#include "quiet_stdout.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace {

constexpr int kSide = 100;       // paths per row
constexpr double kPitch = 80.0;  // grid spacing; each figure is 30 x 30
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
    std::vector<vx::Rect> boxes;  // each path's corner box, canvas space, bottom to top

    explicit Canvas(int count) {
        VX_Initial(vx::text::FromUtf8(FiguresFolder()).c_str());
        const std::vector<vx::String> names = vx::TemplateLibrary::Instance().Names();
        editor = static_cast<vx::CVXEditor*>(VX_CreateGraphicCanvas(&host));
        editor->SetEditMode(0);
        const int kinds = static_cast<int>(names.size()) + 2;
        for (int i = 0; i < count; ++i) {
            IVXPath* path = MakePath(i, i == 0 ? kinds - 2 : i % kinds, names);
            editor->AddPath(path);
            path->Release();
            boxes.push_back(vx::CVXPath::FromInterface(path)->CornerBox());
        }
    }
};

Canvas& CanvasOf(int count) {
    static std::map<int, std::unique_ptr<Canvas>> canvases;
    std::unique_ptr<Canvas>& canvas = canvases[count];
    if (!canvas) canvas = std::make_unique<Canvas>(count);
    return *canvas;
}

enum Where { kEmpty, kBody, kHandle };

// Path 0 is the rectangle (0, 0)-(30, 30): its top edge is its body, its top-left corner a
// handle once it is selected. Empty space is a gap of the grid's middle.
void Aim(Canvas& c, Where where, double* x, double* y) {
    c.editor->GetSelections()->Clear();
    if (where == kHandle) c.editor->GetSelections()->Add(c.editor->GetPath(0));
    const double rows = static_cast<double>(c.boxes.size() / kSide);
    const double at[3][2] = {{kPitch * kSide / 2 - 25, kPitch * (rows / 2) - 25}, {15, 0}, {0, 0}};
    *x = at[where][0], *y = at[where][1];
}

// The floor: the boxes asked in the editor's order (the selected path first, then the list
// from the top) until one holds the point, two host calls each; for the path found, its
// further calls before the answer and the feedback. Returns the path found or -1.
int Floor(const Canvas& c, ICanvasHost* host, int selected, int hitCalls, double x, double y) {
    const double widen = 2.0 * vx::g_parameters.MarkSizeValue();
    auto holds = [&](const vx::Rect& r) {
        double left = r.x1, top = r.y1, right = r.x2, bottom = r.y2;
        host->ToScreen(&left, &top);
        host->ToScreen(&right, &bottom);
        const vx::Rect box = vx::NormalizeRect(vx::Rect{left, top, right, bottom});
        return vx::PointInRect(
            vx::Rect{box.x1 - widen, box.y1 - widen, box.x2 + widen, box.y2 + widen}, x, y);
    };
    int found = -1;
    if (selected >= 0 && holds(c.boxes[static_cast<size_t>(selected)])) found = selected;
    for (int i = static_cast<int>(c.boxes.size()) - 1; i >= 0 && found < 0; --i) {
        if (i != selected && holds(c.boxes[static_cast<size_t>(i)])) found = i;
    }
    if (found >= 0) {
        for (int k = 0; k < hitCalls; ++k) {
            double px = x, py = y;
            host->ToScreen(&px, &py);
        }
        host->SetFeedback(0, nullptr, vx::kHitFigure, 0, 0, 0.0);
    }
    return found;
}

void BM_Hover(benchmark::State& state) {
    Canvas& c = CanvasOf(static_cast<int>(state.range(0)));
    const auto where = static_cast<Where>(state.range(1));
    double x, y;
    Aim(c, where, &x, &y);
    bench_support::QuietStdout quiet;
    // Read back from a volatile slot, so that the floor's calls go through the host's table
    // as the library's do (bench/CMakeLists.txt keeps the compiler from guessing the target).
    ICanvasHost* volatile slot = &c.host;
    ICanvasHost* host = slot;
    const int selected = where == kHandle ? 0 : -1;

    // One MouseMove to settle the hover state, one counted; then the floor's share of the
    // calls for the path found, and a check that both sides make the same calls.
    c.editor->MouseMove(x, y);
    c.host.calls = 0;
    c.editor->MouseMove(x, y);
    const int64_t mouseCalls = c.host.calls;
    const int expected[3] = {vx::kHitNothing, vx::kHitFigure, vx::kHitTopLeft};
    if (c.host.lastCode != expected[where] && where != kEmpty) {
        state.SkipWithError("the pointer is not where the benchmark meant it to be");
        return;
    }
    c.host.calls = 0;
    const int found = Floor(c, host, selected, 0, x, y);
    const int64_t hitCalls = found < 0 ? 0 : mouseCalls - c.host.calls;
    c.host.calls = 0;
    Floor(c, host, selected, static_cast<int>(hitCalls), x, y);
    if (c.host.calls != mouseCalls) {
        state.SkipWithError("the floor does not make MouseMove's host calls");
        return;
    }

    bench_support::Compare(
        state, "x_floor", "mousemove", "floor", [&] { c.editor->MouseMove(x, y); },
        [&] {
            benchmark::DoNotOptimize(Floor(c, host, selected, static_cast<int>(hitCalls), x, y));
        });
    state.counters["host_calls"] = static_cast<double>(mouseCalls);
}
BENCHMARK(BM_Hover)
    ->ArgNames({"paths", "empty0_body1_handle2"})
    ->ArgsProduct({{1000, 10000, 100000}, {kEmpty, kBody, kHandle}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
