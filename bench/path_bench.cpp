// Baselines for the path's hot loops: describing a large path to a surface, and the
// oriented corners behind every selection handle. No peer: these exist so that later
// changes can see regressions in the same program.
#include <benchmark/benchmark.h>

#include <cmath>

#include "path/path.h"

namespace {

// Counts calls and sums coordinates, so the work cannot be optimised away.
class CountingSurface : public IDrawSurface {
public:
    void MoveTo(double x, double y) override { Add(x + y); }
    void LineTo(double x, double y) override { Add(x + y); }
    void CurveTo(double, double, double, double, double x, double y) override { Add(x + y); }
    void CurveToV(double, double, double x, double y) override { Add(x + y); }
    void CurveToY(double, double, double x, double y) override { Add(x + y); }
    void Rectangle(double x, double y, double, double) override { Add(x + y); }
    void ClosePath() override { ++calls; }
    void BeginPath(IVXPath*) override { ++calls; }
    void EndPath(IVXPath*, int32_t) override { ++calls; }
    void BeginOverlay() override {}
    void EndOverlay() override {}
    int32_t SaveOverlay() override { return 0; }
    void RestoreOverlay(int32_t, const double*) override {}
    void DropOverlay(int32_t) override {}
    void ShowOverlay(int32_t, const double*) override {}
    void SetColor(uint32_t, int32_t) override {}
    int32_t WantsFullFigure(const double*) override { return 0; }
    void Refresh(double, double, double, double) override {}
    int32_t DrawMark(double x, double y, double, double, int32_t) override {
        Add(x + y);
        return 1;
    }

    int64_t calls = 0;
    double sum = 0;

private:
    void Add(double v) {
        ++calls;
        sum += v;
    }
};

// 10,000 nodes: a polyline with a cubic every fourth node and a close every hundredth.
vx::CVXPath* MakeLargePath() {
    vx::CVXPath* path = vx::CVXPath::Create();
    for (int i = 0; i < 10000; ++i) {
        const double x = i * 0.5, y = std::sin(i * 0.01) * 100;
        if (i % 100 == 99) path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
        else if (i % 4 == 3) path->AddNode(VX_NODE_CUBIC, x - 0.3, y + 2, x - 0.1, y - 2, x, y);
        else path->AddNode(i % 100 == 0 ? VX_NODE_MOVE : VX_NODE_LINE, x, y, 0, 0, 0, 0);
    }
    const double turn[6] = {0.8, 0.6, -0.6, 0.8, 10, 20};
    path->SetTransform(turn);
    return path;
}

void BM_DrawPath10k(benchmark::State& state) {
    vx::CVXPath* path = MakeLargePath();
    CountingSurface surface;
    for (auto _ : state) path->DrawPath(&surface, 1, true);
    benchmark::DoNotOptimize(surface.sum);
    state.SetItemsProcessed(state.iterations() * 10000);
    path->Release();
}
BENCHMARK(BM_DrawPath10k);

void BM_DrawTrackerNodeMode10k(benchmark::State& state) {
    vx::CVXPath* path = MakeLargePath();
    CountingSurface surface;
    for (auto _ : state) path->DrawTracker(&surface, 1, true, true);
    benchmark::DoNotOptimize(surface.sum);
    state.SetItemsProcessed(state.iterations() * 10000);
    path->Release();
}
BENCHMARK(BM_DrawTrackerNodeMode10k);

// Oriented corners walk every node for the local box, then square up the turned box.
void BM_OrientedCorners10k(benchmark::State& state) {
    vx::CVXPath* path = MakeLargePath();
    double c[8];
    for (auto _ : state) {
        path->GetOrientedCorners(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]);
        benchmark::DoNotOptimize(c);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    path->Release();
}
BENCHMARK(BM_OrientedCorners10k);

}  // namespace
