# Running a build's CTest suite and counting its GoogleTest cases. Source after common.sh.

# Prints "passed failed skipped" for one GoogleTest XML report. Disabled tests count nowhere.
gtest_xml_counts() {
    awk '
        function tally() {
            if (notrun) return
            if (failure) f++; else if (skip) s++; else p++
        }
        /<testcase / {
            open = 1; failure = 0
            skip = ($0 ~ /result="skipped"/)
            notrun = ($0 ~ /status="notrun"/)
            if ($0 ~ /\/>[[:space:]]*$/) { tally(); open = 0 }
            next
        }
        open && /<failure/ { failure = 1 }
        open && /<\/testcase>/ { tally(); open = 0 }
        END { print p + 0, f + 0, s + 0 }
    ' "$1"
}

# Runs every CTest test of a build and adds its cases to the tally. A GoogleTest program
# counts its cases; a program that fails without reporting a failed case (a crash, a
# sanitizer report at exit, a timeout) adds one failed; any other test counts as one.
run_suite() {  # run_suite label build-dir
    local label=$1 dir=$2
    local results=$dir/test-results log=$LOG_DIR/$label-tests.log
    local failed_list=$dir/Testing/Temporary/LastTestsFailed.log
    local start=$SECONDS name p f s sp=0 sf=0 ss=0 names bad=()
    mkdir -p "$results"
    rm -f "$results"/*.xml "$failed_list"
    set +e
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout "${TEST_TIMEOUT:-300}" \
        >"$log" 2>&1 </dev/null
    set -e
    names=$(ctest --test-dir "$dir" -N 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: *//p')
    if [ -z "$names" ]; then
        printf '  FAIL  %-44s       no tests found\n' "$label: tests"
        record fail
        return 1
    fi
    for name in $names; do
        if [ -f "$results/$name.xml" ]; then
            read -r p f s < <(gtest_xml_counts "$results/$name.xml")
        else
            p=0 f=0 s=0
        fi
        if [ -f "$failed_list" ] && grep -qx "[0-9]*:$name" "$failed_list"; then
            [ "$f" -gt 0 ] || f=1
            bad+=("$name")
        elif [ ! -f "$results/$name.xml" ]; then
            p=1
        fi
        sp=$((sp + p)) sf=$((sf + f)) ss=$((ss + s))
    done
    PASSED=$((PASSED + sp)) FAILED=$((FAILED + sf)) SKIPPED=$((SKIPPED + ss))
    local counts="$sp passed, $sf failed"
    if [ "$ss" -gt 0 ]; then counts+=", $ss skipped"; fi
    if [ "$sf" -eq 0 ]; then
        printf '  ok    %-44s %4ds  %s\n' "$label: tests" $((SECONDS - start)) "$counts"
    else
        printf '  FAIL  %-44s %4ds  %s (failing: %s)\n' "$label: tests" \
            $((SECONDS - start)) "$counts" "${bad[*]}"
    fi
    if [ "$sf" -gt 0 ]; then log_tail "$log" 60; fi
    [ "$sf" -eq 0 ]
}
