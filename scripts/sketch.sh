#!/usr/bin/env bash
# Ostrel Sketch, the reference Windows host (apps/sketch). Builds the x86_64 Windows program
# with mingw-w64 into build/win64/sketch/ (sketch.exe, Ostrel.dll, figures/: the folder to
# copy to a Windows machine), then runs it under Wine:
#   - with DISPLAY set: on that display, with the arguments given
#     (scripts/sketch.sh [FILE.svg] [--figures DIR] [--size WIDTHxHEIGHT]);
#   - without: the scripted tour of the test command on a private Xvfb display, real X
#     input through xdotool, ending with the screenshot out/sketch.png (and the drawing
#     out/sketch.svg).
# Wine runs in build/win64/wineprefix, the test suite's prefix (made on the first run).
#
# Environment: BUILD_ROOT (default build/), JOBS (2), OUT_DIR (default out/).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"
source "$ROOT/scripts/lib/wine.sh"
source "$ROOT/scripts/lib/sketch.sh"

OUT_DIR=${OUT_DIR:-$ROOT/out}

main() {
    local packages=(cmake make g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64)
    if [ -z "${DISPLAY:-}" ]; then packages+=("${SKETCH_PACKAGES[@]}"); fi
    ensure_packages "${packages[@]}"
    local dir=$BUILD_ROOT/win64
    echo "Building Ostrel Sketch (x86_64 Windows) in ${dir#"$ROOT"/}; logs in ${LOG_DIR#"$ROOT"/}"
    step "configure" sketch-configure cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake"
    step "build sketch.exe and Ostrel.dll" sketch-build cmake --build "$dir" -j "$JOBS" --target sketch
    echo "The program: $dir/sketch/ (sketch.exe, Ostrel.dll, figures/)"
    if [ -n "${DISPLAY:-}" ]; then
        echo "Running it on $DISPLAY"
        sketch_run "$dir/sketch/sketch.exe" "$dir/wineprefix" "$@"
        return
    fi
    echo "No DISPLAY: the scripted tour on Xvfb"
    sketch_tour "$dir/sketch/sketch.exe" "$dir/wineprefix" "$OUT_DIR"
    echo "The drawing: $OUT_DIR/sketch.svg"
    echo "The screenshot: $OUT_DIR/sketch.png"
}

main "$@"
