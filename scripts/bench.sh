#!/usr/bin/env bash
# Builds the Google Benchmark programs of bench/ (Release, with OSTREL_BENCH=ON) and runs
# each of them. Arguments are passed to every program, e.g.
#   bash scripts/bench.sh --benchmark_filter=Draw --benchmark_repetitions=5
# Each program prints its ratios to its floor or peer as counters (x_floor, speed_vs_...,
# outside_eval), measured in alternating batches; the last lines repeat them all.
# Not part of scripts/test.sh.
#
# Environment: BUILD_ROOT (default build/), JOBS (2).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"

BENCH_PACKAGES=("${BUILD_PACKAGES[@]}" libbenchmark-dev "${PEER_PACKAGES[@]}")

main() {
    ensure_packages "${BENCH_PACKAGES[@]}"
    local dir=$BUILD_ROOT/bench program
    step "bench: configure" bench-configure cmake -S "$ROOT" -B "$dir" \
        -DCMAKE_BUILD_TYPE=Release -DOSTREL_BENCH=ON -DOSTREL_TESTS=OFF
    step "bench: build" bench-build cmake --build "$dir" -j "$JOBS"
    local programs
    mapfile -t programs < <(find "$dir/bench" -maxdepth 1 -type f -executable -name 'bench_*' | sort)
    if [ ${#programs[@]} -eq 0 ]; then
        echo "No benchmark programs in bench/."
        return 0
    fi
    local output=$LOG_DIR/bench-output.log
    mkdir -p "$LOG_DIR"
    : >"$output"
    for program in "${programs[@]}"; do
        echo
        echo "== ${program##*/}"
        "$program" "$@" | tee -a "$output"
    done
    echo
    echo "== ratios"
    grep -E 'x_floor=|speed_vs_|outside_eval=' "$output" |
        sed -E 's/^(BM_[^ ]*).*[ ](x_floor=[^ ]*|speed_vs_[a-z0-9]*=[^ ]*|outside_eval=[^ ]*).*/\1 \2/' || true
}

main "$@"
