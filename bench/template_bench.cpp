// Building the bundled figures (figures/*.xml) with VX_CreatePathEx, and how much of that
// time the expression evaluator takes.
//
// BM_BuildAllFigures: one iteration builds every bundled figure once in a 200 by 100
// frame, with the file's reference values, and releases the path; items are builds.
// BM_EvaluateAllFigures: the same evaluations and nothing else: every reference value
// text with the names bound before it, every coordinate text with its frame prefix, and
// the two handle-position texts per reference that a path evaluates when it takes its
// template copy. The prefixes are formed once, before timing; each text is handed to the
// evaluator as the build hands it (the value texts whole, the others as prefix, template
// text and closing bracket).
// BM_EvaluatorShare: both in alternating batches (bench/alternate.h), reported as the
// counters eval_share (evaluation time / build time, the median over the pairs) and
// outside_eval (1 - eval_share), the work of a build outside evaluation; the goal is
// outside_eval < 0.20.
//
// There is no peer for a whole build; the evaluator's peer (muparser) is in expr_bench.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "alternate.h"
#include "expr/evaluator.h"
#include "ostrel/ostrel.h"
#include "templates/template_bindings.h"
#include "templates/template_library.h"
#include "text/format.h"
#include "text/utf.h"

namespace {

constexpr double kFrame[4] = {100, 50, 300, 150};

std::string FiguresFolder() {
    std::string here = __FILE__;  // .../bench/template_bench.cpp
    here.resize(here.find_last_of("/\\"));
    here.resize(here.find_last_of("/\\"));
    return here + "/figures";
}

struct Workload {
    std::vector<PathCreateParams> params;  // one per figure
    // A text as prefix + body + ")", or the body alone when there is no prefix.
    struct Text {
        vx::String prefix;
        vx::String body;
    };
    // Per figure: its bindings and the texts a build evaluates with them.
    struct Figure {
        vx::TemplateBindings bindings;
        std::vector<Text> boundTexts;  // reference values, then coordinates
        std::vector<Text> plainTexts;  // handle positions, no variables
    };
    std::vector<Figure> figures;
    size_t evaluations = 0;
};

const Workload& GetWorkload() {
    static const Workload* workload = [] {
        auto* w = new Workload;
        const vx::String folder = vx::text::FromUtf8(FiguresFolder());
        VX_Initial(folder.c_str());
        const vx::TemplateLibrary& library = vx::TemplateLibrary::Instance();
        for (const vx::String& name : library.Names()) {
            const vx::FigureTemplate& t = *library.FindTemplate(name);
            PathCreateParams p{};
            p.left = kFrame[0], p.top = kFrame[1], p.right = kFrame[2], p.bottom = kFrame[3];
            name.copy(p.name, name.size());
            w->params.push_back(p);

            Workload::Figure f;
            f.bindings.BindReferences(t);
            const vx::String handleX =
                vx::text::Format("%f + %f * (", {kFrame[0], kFrame[2] - kFrame[0]});
            const vx::String handleY =
                vx::text::Format("%f + %f * (", {kFrame[1], kFrame[3] - kFrame[1]});
            for (const vx::TemplateReference& r : t.references) {
                f.boundTexts.push_back({vx::String(), r.x.value});
                f.boundTexts.push_back({vx::String(), r.y.value});
                f.plainTexts.push_back({handleX, r.x.value});
                f.plainTexts.push_back({handleY, r.y.value});
            }
            const vx::String x =
                vx::text::Format("%f + (%f - %f)*(", {kFrame[0], kFrame[2], kFrame[0]});
            const vx::String y =
                vx::text::Format("%f + (%f - %f)*(", {kFrame[1], kFrame[3], kFrame[1]});
            const vx::String wd = vx::text::Format("(%f - %f)*(", {kFrame[2], kFrame[0]});
            const vx::String ht = vx::text::Format("(%f - %f)*(", {kFrame[3], kFrame[1]});
            for (const vx::TemplateElement& e : t.elements) {
                for (int k = 0; k < 6 && !e.coords[k].empty(); ++k) {
                    const vx::String& prefix = e.kind == VX_NODE_RECT && k == 2   ? wd
                                               : e.kind == VX_NODE_RECT && k == 3 ? ht
                                               : k % 2 == 0                       ? x
                                                                                  : y;
                    f.boundTexts.push_back({prefix, e.coords[k]});
                }
            }
            w->evaluations += f.boundTexts.size() + f.plainTexts.size();
            w->figures.push_back(std::move(f));
        }
        return w;
    }();
    return *workload;
}

int64_t BuildAll(const Workload& w) {
    int64_t nodes = 0;
    for (const PathCreateParams& p : w.params) {
        IVXPath* path = VX_CreatePathEx(&p);
        nodes += path->GetNodes(nullptr, 0);
        path->Release();
    }
    return nodes;
}

double EvaluateAll(const Workload& w) {
    double sum = 0;
    for (const Workload::Figure& f : w.figures) {
        for (const Workload::Text& text : f.boundTexts) {
            double v = 0;
            if (text.prefix.empty()) {
                f.bindings.Evaluate(text.body, &v);
            } else {
                f.bindings.Evaluate({text.prefix, text.body, VXTEXT(")")}, &v);
            }
            sum += v;
        }
        for (const Workload::Text& text : f.plainTexts) {
            double v = 0;
            vx::ExpressionEvaluator::Evaluate({text.prefix, text.body, VXTEXT(")")}, &v, nullptr,
                                              nullptr);
            sum += v;
        }
    }
    return sum;
}

void BM_BuildAllFigures(benchmark::State& state) {
    const Workload& w = GetWorkload();
    for (auto _ : state) benchmark::DoNotOptimize(BuildAll(w));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(w.params.size()));
    state.counters["figures"] = static_cast<double>(w.params.size());
    state.counters["evals_per_build"] =
        static_cast<double>(w.evaluations) / static_cast<double>(w.params.size());
}
BENCHMARK(BM_BuildAllFigures);

void BM_EvaluateAllFigures(benchmark::State& state) {
    const Workload& w = GetWorkload();
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateAll(w));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(w.params.size()));
}
BENCHMARK(BM_EvaluateAllFigures);

void BM_EvaluatorShare(benchmark::State& state) {
    const Workload& w = GetWorkload();
    const bench_support::Comparison c = bench_support::Compare(
        state, "eval_share", "evaluate", "build", [&] { benchmark::DoNotOptimize(EvaluateAll(w)); },
        [&] { benchmark::DoNotOptimize(BuildAll(w)); });
    state.counters["outside_eval"] = 1.0 - c.ratio;
}
BENCHMARK(BM_EvaluatorShare)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
