#!/usr/bin/env bash
# Measures how many planted faults the native test suite catches. Each mutant of
# scripts/mutants.txt (one token of src/ changed: a flipped comparison, an off-by-one
# constant, a dropped call, a swapped operator) is planted in turn, the native Release tree
# is rebuilt and every test program runs; a failing test kills the mutant. A mutant that
# does not compile is counted apart. The source is restored after each one.
#
#   scripts/mutate.sh [ID...]     all mutants, or the ones named
#   scripts/mutate.sh --pick N    write a new list of about N mutants (changes the baseline!)
#
# Prints one line a mutant and last "killed K of N (P%), S survived, T timed out, C did not
# compile". A mutant whose only failure is a test past the 60 s limit has that test run again
# alone: past the limit again, it hangs on the mutant, which the suite catches (it never
# ends), and the verdict is "hang", counted as killed; passing, it was only the load of the
# machine, and the verdict is "timeout", listed with the survivors in survivors.txt.
# Environment: BUILD_ROOT, JOBS.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"
LIST=$ROOT/scripts/mutants.txt
TOOL=$ROOT/scripts/lib/mutants.py
DIR=$BUILD_ROOT/mutate

if [ "${1:-}" = --pick ]; then
    python3 "$TOOL" pick "$ROOT/src" "$2" >"$LIST"
    echo "$(wc -l <"$LIST") mutants in ${LIST#"$ROOT"/}"
    exit 0
fi

ensure_packages "${BUILD_PACKAGES[@]}" python3
if ! git -C "$ROOT" diff --quiet -- src; then
    echo "src/ has uncommitted changes; commit or stash them first" >&2
    exit 2
fi
restore() { git -C "$ROOT" checkout -- src; }
# A mutant can make a test print without end, or leave its temporary files when it is
# stopped: no test may write a file over 256 MB, and the tests' temporary folders go into the
# mutant's own, emptied after it. GoogleTest 1.12 puts its captured streams in /tmp whatever
# the environment says: the large ones made while the mutant ran go too (a sound test's are
# a few kilobytes and gone when it ends, so another run's are never touched).
run_tests() {  # run_tests [ctest options...]
    (ulimit -f $((256 * 1024)) && TMPDIR=$DIR/tmp \
        ctest --test-dir "$DIR" --timeout 60 "$@" >>"$DIR/mutant.log" 2>&1)
}
forget_mutant_files() {
    find /tmp -maxdepth 1 -name 'gtest_captured_stream.*' -size +1M -newer "$DIR/started" \
        -delete 2>/dev/null || true
    rm -rf "$DIR/tmp"
}
trap restore EXIT

mkdir -p "$DIR"
cmake -S "$ROOT" -B "$DIR" -DCMAKE_BUILD_TYPE=Release >"$DIR/configure.log"
cmake --build "$DIR" -j "$JOBS" >"$DIR/build.log" 2>&1 || { tail -20 "$DIR/build.log"; exit 1; }
if ! ctest --test-dir "$DIR" -j "$JOBS" >"$DIR/tests.log" 2>&1; then
    echo "the suite fails without any mutant; see $DIR/tests.log" >&2
    exit 1
fi

if [ $# -gt 0 ]; then ids=("$@"); else mapfile -t ids < <(cut -f1 "$LIST"); fi
killed=0 survived=0 stillborn=0 lost=0 timedout=0
: >"$DIR/survivors.txt"
for id in "${ids[@]}"; do
    row=$(grep -P "^$id\t" "$LIST")
    if ! file=$(python3 "$TOOL" apply "$ROOT/src" "$LIST" "$id" 2>&1); then
        printf '%s  lost       %s\n' "$id" "$file"
        lost=$((lost + 1))
        continue
    fi
    rm -rf "$DIR/tmp" && mkdir "$DIR/tmp" && touch "$DIR/started"
    if ! cmake --build "$DIR" -j "$JOBS" >"$DIR/mutant.log" 2>&1; then
        verdict=stillborn; stillborn=$((stillborn + 1))
    elif run_tests -j "$JOBS" --stop-on-failure; then
        verdict=survived; survived=$((survived + 1))
        printf '%s\n' "$row" >>"$DIR/survivors.txt"
    elif grep -q '\*\*\*Timeout' "$DIR/mutant.log" && ! grep -q '\*\*\*Failed' "$DIR/mutant.log"; then
        slow=$(sed -n 's/.*Test *#[0-9]*: \([A-Za-z0-9_-]*\) .*\*\*\*Timeout.*/\1/p' "$DIR/mutant.log" |
            paste -sd '|')
        if run_tests -R "^($slow)\$"; then
            verdict=timeout; timedout=$((timedout + 1))
            printf '%s\n' "$row" >>"$DIR/survivors.txt"
        else
            verdict=hang; killed=$((killed + 1))
        fi
    else
        verdict=killed; killed=$((killed + 1))
    fi
    printf '%s  %-10s %s: %s\n' "$id" "$verdict" "${file#"$ROOT"/}" "$(cut -f4- <<<"$row" | tr '\t' ' ')"
    forget_mutant_files
    restore
done
# Rebuild the unmutated tree so that it is not left holding the last mutant.
cmake --build "$DIR" -j "$JOBS" >"$DIR/build.log" 2>&1 || true
total=$((killed + survived + timedout))
echo "killed $killed of $total ($(( total ? 100 * killed / total : 0 ))%), $survived survived," \
     "$timedout timed out, $stillborn did not compile, $lost not found"
