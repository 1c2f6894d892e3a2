// Two workloads compared in one run on a shared, loaded machine: batches of each, timed on
// the calling thread's CPU clock, in alternation (A B, then B A, ...). The ratio reported is
// the median of the per-pair ratios, so whatever the other processes, the clock frequency or
// a cold cache do to one batch they do to its partner as well; the medians of the two
// per-call times come with it.
//
// Use it inside a benchmark registered with Iterations(1) (see Compare) and read the
// counters: the ratio is A's time per call over B's.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace bench_support {

struct Comparison {
    double ratio = 0;  // median over the pairs of (A per call) / (B per call)
    double a_ns = 0;   // median time per call of A, nanoseconds
    double b_ns = 0;
};

inline double ThreadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// Calls f n times; its CPU seconds.
template <typename F>
double TimeBatch(F& f, int64_t n) {
    const double start = ThreadSeconds();
    for (int64_t i = 0; i < n; ++i) f();
    return ThreadSeconds() - start;
}

// How many calls of f fill a batch of about `seconds`, measured after a warm-up (first calls
// pay for cold caches and lazy binding) on batches long enough to hide the clock's cost.
template <typename F>
int64_t CallsPerBatch(F& f, double seconds) {
    TimeBatch(f, 4);
    for (int64_t n = 4;; n *= 2) {
        const double t = TimeBatch(f, n);
        if (t >= seconds / 2 || n >= (int64_t{1} << 40)) {
            return std::max<int64_t>(
                1, static_cast<int64_t>(static_cast<double>(n) * seconds / std::max(t, 1e-9)));
        }
    }
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

template <typename A, typename B>
Comparison Alternate(A&& a, B&& b, int pairs = 41, double batchSeconds = 2e-3) {
    const int64_t na = CallsPerBatch(a, batchSeconds);
    const int64_t nb = CallsPerBatch(b, batchSeconds);
    std::vector<double> ratios, as, bs;
    for (int i = 0; i < pairs; ++i) {
        double ta, tb;
        if (i % 2 == 0) {
            ta = TimeBatch(a, na);
            tb = TimeBatch(b, nb);
        } else {
            tb = TimeBatch(b, nb);
            ta = TimeBatch(a, na);
        }
        const double pa = ta / static_cast<double>(na), pb = tb / static_cast<double>(nb);
        ratios.push_back(pa / pb);
        as.push_back(pa * 1e9);
        bs.push_back(pb * 1e9);
    }
    return Comparison{Median(ratios), Median(as), Median(bs)};
}

// Runs Alternate once in a benchmark (register it with ->Iterations(1)) and reports the
// ratio A/B under `ratio`, with the two times per call as ns_<aName> and ns_<bName>.
template <typename A, typename B>
Comparison Compare(benchmark::State& state, const char* ratio, const std::string& aName,
                   const std::string& bName, A&& a, B&& b) {
    Comparison c;
    for (auto _ : state) c = Alternate(a, b);
    state.counters[ratio] = c.ratio;
    state.counters["ns_" + aName] = c.a_ns;
    state.counters["ns_" + bName] = c.b_ns;
    return c;
}

}  // namespace bench_support
