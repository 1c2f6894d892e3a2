// The expression evaluator against muparser, doing what the template builder does: one text
// at a time, with the template's reference names bound, evaluated once.
//
// muparser gets the same one-shot work per text: DefineVar for each reference, SetExpr,
// Eval (which parses and then evaluates). Its parser object is built once, as our context
// is. Every text is checked to give the same value on both sides before anything is timed.
//
// The "allocs" counter is the number of operator new calls per evaluation.
//
// BM_Floor/i times each text against the least any evaluator must do with it, scanning the
// text and converting its numbers (with the same reader) and nothing else, in alternating
// batches, and prints x_floor: the evaluation's time over the floor's (the aim is at most
// 2). BM_Peer/i prints speed_vs_muparser: muparser's time per text over ours.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "alternate.h"
#include "expr/evaluator.h"
#include "text/number.h"

#if OSTREL_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {
size_t allocations = 0;
}

[[gnu::noinline]] void* operator new(size_t size) {
    ++allocations;
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}
[[gnu::noinline]] void* operator new[](size_t size) { return operator new(size); }
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

constexpr double kA = 0.3;
constexpr double kB = 0.75;

struct FigureText {
    const VXCHAR* ours;
    const char* peer;
};

// Frame offset plus frame size times a unit expression over the references a and b, as
// the builder prints them with "%f", and a bare reference value.
const FigureText kTexts[] = {
    {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"),
     "100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"},
    {VXTEXT("50.000000 + (250.000000 - 50.000000)*(1 - b)"),
     "50.000000 + (250.000000 - 50.000000)*(1 - b)"},
    {VXTEXT("20.000000 + (80.000000 - 20.000000)*(0.5 + 0.5*cos(a*2*pi))"),
     "20.000000 + (80.000000 - 20.000000)*(0.5 + 0.5*cos(a*2*pi))"},
    {VXTEXT("10.000000 + (110.000000 - 10.000000)*(a*b + (1 - a)*(1 - b)/2)"),
     "10.000000 + (110.000000 - 10.000000)*(a*b + (1 - a)*(1 - b)/2)"},
    {VXTEXT("0.500000"), "0.500000"},
};
constexpr int kTextCount = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);

// The builder's resolver: the template's reference names, compared in order.
struct Reference {
    const VXCHAR* name;
    double value;
};
const Reference kReferences[] = {{VXTEXT("a"), kA}, {VXTEXT("b"), kB}};

bool ResolveReference(const VXCHAR* name, double* value, void*) {
    for (const Reference& reference : kReferences) {
        const VXCHAR* p = reference.name;
        const VXCHAR* q = name;
        while (*p && *p == *q) ++p, ++q;
        if (*p == *q) {
            *value = reference.value;
            return true;
        }
    }
    return false;
}

double EvaluateOurs(const FigureText& text) {
    double value = 0.0;
    if (!vx::ExpressionEvaluator::Evaluate(text.ours, &value, ResolveReference, nullptr)) {
        std::fprintf(stderr, "evaluation failed: %s\n", text.peer);
        std::abort();
    }
    return value;
}

// The floor: every character looked at once, every number converted.
double ScanAndConvert(const VXCHAR* text) {
    double sum = 0.0;
    for (const VXCHAR* p = text; *p;) {
        if (*p == '.' || (*p >= '0' && *p <= '9')) {
            size_t consumed = 0;
            sum += vx::text::ReadNumber(p, &consumed);
            p += consumed ? consumed : 1;
        } else {
            ++p;
        }
    }
    return sum;
}

void BM_Floor(benchmark::State& state) {
    const FigureText& text = kTexts[state.range(0)];
    state.SetLabel(text.peer);
    bench_support::Compare(
        state, "x_floor", "ours", "floor", [&] { benchmark::DoNotOptimize(EvaluateOurs(text)); },
        [&] { benchmark::DoNotOptimize(ScanAndConvert(text.ours)); });
}
BENCHMARK(BM_Floor)->DenseRange(0, kTextCount - 1)->Iterations(1)->Unit(benchmark::kMillisecond);

#if OSTREL_HAVE_MUPARSER
struct Peer {
    mu::Parser parser;
    double a = kA;
    double b = kB;
    Peer() { parser.DefineConst("pi", 3.141592653589793); }

    double Evaluate(const FigureText& text) {
        parser.DefineVar("a", &a);
        parser.DefineVar("b", &b);
        parser.SetExpr(text.peer);
        return parser.Eval();
    }
};

Peer& ThePeer() {
    static Peer peer;
    return peer;
}

// Both sides must compute the same thing, or the comparison means nothing.
const bool same_values = [] {
    for (const FigureText& text : kTexts) {
        const double ours = EvaluateOurs(text);
        const double theirs = ThePeer().Evaluate(text);
        if (std::fabs(ours - theirs) > 1e-12 * std::fabs(ours)) {
            std::fprintf(stderr, "values differ for %s: %.17g vs %.17g\n", text.peer, ours, theirs);
            std::abort();
        }
    }
    return true;
}();
#endif

void Report(benchmark::State& state, size_t allocated, size_t evaluations) {
    state.counters["allocs"] = static_cast<double>(allocated) / static_cast<double>(evaluations);
    state.SetItemsProcessed(static_cast<int64_t>(evaluations));
}

void BM_Ostrel_OneText(benchmark::State& state) {
    const FigureText& text = kTexts[state.range(0)];
    state.SetLabel(text.peer);
    EvaluateOurs(text);  // as in a running program, the shared copy already has room
    const size_t before = allocations;
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateOurs(text));
    Report(state, allocations - before, state.iterations());
}
BENCHMARK(BM_Ostrel_OneText)->DenseRange(0, kTextCount - 1);

// One figure: every text once, the way the builder walks a template's coordinates.
void BM_Ostrel_Figure(benchmark::State& state) {
    for (const FigureText& text : kTexts) EvaluateOurs(text);
    const size_t before = allocations;
    for (auto _ : state) {
        for (const FigureText& text : kTexts) benchmark::DoNotOptimize(EvaluateOurs(text));
    }
    Report(state, allocations - before, state.iterations() * kTextCount);
}
BENCHMARK(BM_Ostrel_Figure);

#if OSTREL_HAVE_MUPARSER
void BM_MuParser_OneText(benchmark::State& state) {
    const FigureText& text = kTexts[state.range(0)];
    state.SetLabel(text.peer);
    Peer& peer = ThePeer();
    peer.Evaluate(text);
    const size_t before = allocations;
    for (auto _ : state) benchmark::DoNotOptimize(peer.Evaluate(text));
    Report(state, allocations - before, state.iterations());
}
BENCHMARK(BM_MuParser_OneText)->DenseRange(0, kTextCount - 1);

void BM_MuParser_Figure(benchmark::State& state) {
    Peer& peer = ThePeer();
    for (const FigureText& text : kTexts) peer.Evaluate(text);
    const size_t before = allocations;
    for (auto _ : state) {
        for (const FigureText& text : kTexts) benchmark::DoNotOptimize(peer.Evaluate(text));
    }
    Report(state, allocations - before, state.iterations() * kTextCount);
}
BENCHMARK(BM_MuParser_Figure);

// The peer's best case: the references defined once for the whole figure, then SetExpr and
// Eval per text.
void BM_MuParser_FigureVariablesOnce(benchmark::State& state) {
    Peer& peer = ThePeer();
    for (const FigureText& text : kTexts) peer.Evaluate(text);
    const size_t before = allocations;
    for (auto _ : state) {
        peer.parser.DefineVar("a", &peer.a);
        peer.parser.DefineVar("b", &peer.b);
        for (const FigureText& text : kTexts) {
            peer.parser.SetExpr(text.peer);
            benchmark::DoNotOptimize(peer.parser.Eval());
        }
    }
    Report(state, allocations - before, state.iterations() * kTextCount);
}
BENCHMARK(BM_MuParser_FigureVariablesOnce);

void BM_Peer(benchmark::State& state) {
    const FigureText& text = kTexts[state.range(0)];
    state.SetLabel(text.peer);
    Peer& peer = ThePeer();
    bench_support::Compare(
        state, "speed_vs_muparser", "muparser", "ours",
        [&] { benchmark::DoNotOptimize(peer.Evaluate(text)); },
        [&] { benchmark::DoNotOptimize(EvaluateOurs(text)); });
}
BENCHMARK(BM_Peer)->DenseRange(0, kTextCount - 1)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
