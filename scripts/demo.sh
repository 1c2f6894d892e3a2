#!/usr/bin/env bash
# The main-job command. The command-line program (apps/ostrel) that lists, builds and renders
# figures arrives with the figure templates; until then this builds the library natively and
# runs the host example in tests/consumer, which creates a path through the public header,
# draws it into a surface of its own and checks every call the library made.
#
# Environment: BUILD_ROOT (default build/), JOBS (2).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"

main() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    local dir=$BUILD_ROOT/release
    echo "Building Ostrel (native, Release) in ${dir#"$ROOT"/}; logs in ${LOG_DIR#"$ROOT"/}"
    step "configure" demo-configure cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release
    step "build the library and the host example" demo-build \
        cmake --build "$dir" -j "$JOBS" --target Ostrel consumer_host
    echo
    echo "The command-line program 'ostrel' is not built yet: it comes with the figure"
    echo "templates. Meanwhile, a host program in miniature, using only include/ostrel/ostrel.h"
    echo "and $(basename "$dir"/src/libOstrel.so*):"
    echo "  it creates a path with VX_CreatePath, adds a move, a line, a curve and a close,"
    echo "  sets a transform (scale 2, shift 1,1), draws the path into its own recording"
    echo "  surface and compares the calls; then it calls GetTag and Release by their"
    echo "  positions in the path's table, as hosts written against the table do."
    echo
    "$dir/tests/consumer/consumer_host"

    # ---- The command-line program ----------------------------------------------------
    # When apps/ostrel exists: build the target 'ostrel' above and run it here on the
    # bundled figures, for example
    #   "$dir/apps/ostrel/ostrel" list "$ROOT/figures"
    #   "$dir/apps/ostrel/ostrel" render ... > "$BUILD_ROOT/demo/figures.svg"
    # and print where the output went.
}

main "$@"
