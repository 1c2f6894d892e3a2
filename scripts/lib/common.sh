# Shared by scripts/test.sh, demo.sh, bench.sh and fuzz.sh: packages, logging, steps
# and the pass/fail tally. Source it; it expects ROOT to be the repository root.

# ---- Packages ------------------------------------------------------------------------
# Debian 12 packages by name, one list per use. BUILD_PACKAGES is what a native build with
# its tests needs; DEMO_PACKAGES what scripts/demo.sh adds; PEER_PACKAGES the benchmarks'
# peers and outside references; SKETCH_PACKAGES the sketch's tour; FUZZ_PACKAGES the fuzz
# build's; TEST_PACKAGES all of these with the sanitizer runtime, the benchmark library,
# the Windows cross compilers, Wine and pkg-config.
BUILD_PACKAGES=(
    cmake make g++ libgtest-dev googletest libxml2-dev
    locales  # the definitions of the decimal-comma locale the number tests build
)
# What scripts/demo.sh needs beyond a build: rsvg-convert for the gallery's PNG.
DEMO_PACKAGES=(
    librsvg2-bin
)
# Peers of the benchmarks and outside references of tests/references (cairo for fill rules,
# muparser for the evaluator, lib2geom for the nearest point; lib2geom's headers need boost,
# which its package does not pull in). Native builds use them where installed and build
# without them, leaving those peers and checks out.
PEER_PACKAGES=(
    libcairo2-dev libmuparser-dev lib2geom-dev libboost-dev
)
# The sketch's tour (scripts/lib/sketch.sh): an X server, real X input, screenshots, and the
# tour's checker (scripts/lib/sketch_tour.py).
SKETCH_PACKAGES=(
    xvfb xdotool imagemagick python3
)
# What a fuzz build needs beyond BUILD_PACKAGES (clang and its libFuzzer runtime), and how
# scripts/test.sh and scripts/fuzz.sh configure it.
FUZZ_PACKAGES=(
    clang libclang-rt-14-dev
)
FUZZ_CMAKE_ARGS=(
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_FUZZ=ON -DOSTREL_TESTS=OFF -DOSTREL_APPS=OFF
    -DOSTREL_EXAMPLES=OFF
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
)
TEST_PACKAGES=(
    "${BUILD_PACKAGES[@]}"
    pkg-config  # the install's pkg-config consumer
    "${DEMO_PACKAGES[@]}"
    "${FUZZ_PACKAGES[@]}"
    clang-format
    libbenchmark-dev
    "${PEER_PACKAGES[@]}"
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64
    "${SKETCH_PACKAGES[@]}"
)

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Installs the named packages that are missing when running as root; otherwise names them
# and fails.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        package_installed "$pkg" || missing+=("$pkg")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        exit 2
    fi
    echo "Installing missing packages: ${missing[*]}"
    mkdir -p "$LOG_DIR"
    # An index that fails to update (a mirror in the middle of a sync) need not stop the
    # install: the lists already there may do. Only a failed install fails.
    if ! apt-get update >"$LOG_DIR/apt.log" 2>&1 </dev/null; then
        echo "apt-get update failed (see $LOG_DIR/apt.log); installing from the lists there are"
    fi
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" \
            >>"$LOG_DIR/apt.log" 2>&1 </dev/null; then
        echo "apt-get install failed; last lines of $LOG_DIR/apt.log:" >&2
        tail -n 30 "$LOG_DIR/apt.log" >&2
        exit 2
    fi
}

# ---- Steps and the tally -------------------------------------------------------------
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
LOG_DIR=$BUILD_ROOT/logs
JOBS=${JOBS:-2}
PASSED=0
FAILED=0
SKIPPED=0

log_tail() {
    echo "---- last lines of $1 ----"
    tail -n "${2:-40}" "$1" || true
    echo "----"
}

# Records one check that is not a test program (a build, a table check).
record() {  # record ok|fail
    if [ "$1" = ok ]; then PASSED=$((PASSED + 1)); else FAILED=$((FAILED + 1)); fi
}

# Runs a command with its output in a log file; prints one line, and the log's tail on
# failure. Counts as one check. Returns the command's status.
step() {  # step "title" logname command...
    local title=$1 log=$LOG_DIR/$2.log start status
    shift 2
    mkdir -p "$LOG_DIR"
    start=$SECONDS
    set +e
    "$@" >"$log" 2>&1 </dev/null
    status=$?
    set -e
    if [ $status -eq 0 ]; then
        printf '  ok    %-44s %4ds\n' "$title" $((SECONDS - start))
        record ok
    else
        printf '  FAIL  %-44s %4ds  (log: %s)\n' "$title" $((SECONDS - start)) "${log#"$ROOT"/}"
        log_tail "$log"
        record fail
    fi
    return $status
}

# Configures and builds one tree: two checks (configure, build).
configure_and_build() {  # configure_and_build name cmake-args...
    local name=$1 dir=$BUILD_ROOT/$1
    shift
    step "$name: configure" "$name-configure" cmake -S "$ROOT" -B "$dir" "$@" &&
        step "$name: build" "$name-build" cmake --build "$dir" -j "$JOBS"
}

print_total() {
    if [ "$SKIPPED" -gt 0 ]; then
        echo "($SKIPPED skipped)"
    fi
    echo "$PASSED passed, $FAILED failed"
}
