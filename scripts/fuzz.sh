#!/usr/bin/env bash
# Long fuzzing runs:
#   scripts/fuzz.sh TARGET MINUTES      e.g. scripts/fuzz.sh fuzz_host 30  (or: host 30)
# Builds the fuzz tree as scripts/test.sh does (build/fuzz), runs the libFuzzer target for
# MINUTES minutes on the corpus kept in build/fuzz-corpus/fuzz_NAME (seeded from
# fuzz/corpus/NAME/ when that exists), so that the next run goes on from there, and prints
# the final statistics. A finding is written to build/fuzz-corpus/fuzz_NAME-findings/ and
# makes the exit status non-zero. The whole output is in build/logs/fuzz-NAME-run.log.
#
# Environment: BUILD_ROOT (default build/), JOBS (2). The machine may be shared: run it
# under nice.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"

usage() {
    echo "usage: scripts/fuzz.sh TARGET MINUTES   (TARGET: fuzz_NAME or NAME, a target of fuzz/)" >&2
    exit 2
}

main() {
    [ $# -eq 2 ] || usage
    local name=${1#fuzz_} minutes=$2
    [[ $minutes =~ ^[1-9][0-9]*$ ]] || usage
    local target=fuzz_$name dir=$BUILD_ROOT/fuzz
    local corpus=$BUILD_ROOT/fuzz-corpus/$target findings=$BUILD_ROOT/fuzz-corpus/$target-findings
    local log=$LOG_DIR/fuzz-$name-run.log

    ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    step "fuzz: configure" fuzz-configure cmake -S "$ROOT" -B "$dir" "${FUZZ_CMAKE_ARGS[@]}"
    step "fuzz: build $target" "fuzz-build-$name" cmake --build "$dir" --target "$target" -j "$JOBS"

    mkdir -p "$corpus" "$findings"
    if [ -d "$ROOT/fuzz/corpus/$name" ] && [ -z "$(ls -A "$corpus")" ]; then
        cp -r "$ROOT/fuzz/corpus/$name/." "$corpus/"
    fi
    echo "fuzzing $target for $minutes min; corpus ${corpus#"$ROOT"/} ($(ls "$corpus" | wc -l) inputs)"
    local start=$SECONDS status=0
    "$dir/fuzz/$target" -max_total_time=$((minutes * 60)) -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?

    echo "ran $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
    # The last progress line (coverage, features, corpus) and the final statistics.
    grep -E '^#[0-9]+' "$log" | tail -n 1 || true
    grep -E '^stat::' "$log" || true
    echo "corpus: $(ls "$corpus" | wc -l) inputs, $(du -sh "$corpus" | cut -f1)"
    if [ $status -ne 0 ]; then
        echo "FINDING (exit $status); the report:"
        grep -E -A40 '^==[0-9]+==ERROR|runtime error|^fuzz_' "$log" | head -n 60 || true
        ls "$findings"
    else
        echo "no findings"
    fi
    return $status
}

main "$@"
