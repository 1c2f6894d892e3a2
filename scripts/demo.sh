#!/usr/bin/env bash
# The main-job command. Builds the library and the command-line program 'ostrel' natively,
# then draws every bundled figure template (figures/*.xml) into one gallery:
#   out/gallery.svg   each figure built with VX_CreatePathEx in its own frame and drawn
#                     through the library's Draw, with its name, its box handles and its
#                     reference handles (orange diamonds) as the selection draws them;
#   out/gallery.png   the same, converted by rsvg-convert (Debian librsvg2-bin).
# It also lists the figures with their tips and handle ranges, and builds one of them to
# show the nodes that a host receives. Last it replays examples/demo.session, a drawing made
# with every tool and then edited, through a canvas:
#   out/demo.svg, out/demo.png   the paths at the end and the selection marks;
#   out/demo.summary             what `ostrel replay` printed: every path and the selection;
#   out/demo.trace               every call the library made on the host and its surface.
#
# Environment: BUILD_ROOT (default build/), JOBS (2), OUT_DIR (default out/).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"

OUT_DIR=${OUT_DIR:-$ROOT/out}

main() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${DEMO_PACKAGES[@]}"
    local dir=$BUILD_ROOT/release
    echo "Building Ostrel (native, Release) in ${dir#"$ROOT"/}; logs in ${LOG_DIR#"$ROOT"/}"
    step "configure" demo-configure cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release
    step "build the library and ostrel" demo-build \
        cmake --build "$dir" -j "$JOBS" --target Ostrel ostrel
    local ostrel=$dir/apps/ostrel/ostrel

    echo
    echo "\$ ostrel figures   (the bundled figures: name, tips, icon, reference handles)"
    "$ostrel" figures | sed -n '1,16p'
    echo "  ... ($("$ostrel" figures | grep -c '^[^ ]') figures in all)"
    echo
    echo "\$ ostrel build Arrow --frame 100,50,300,150 --ref 0.7,0.35"
    "$ostrel" build Arrow --frame 100,50,300,150 --ref 0.7,0.35
    echo
    mkdir -p "$OUT_DIR"
    echo "\$ ostrel gallery --out ${OUT_DIR#"$ROOT"/}/gallery.svg --png ${OUT_DIR#"$ROOT"/}/gallery.png"
    "$ostrel" gallery --out "$OUT_DIR/gallery.svg" --png "$OUT_DIR/gallery.png"
    echo
    local session=$ROOT/examples/demo.session
    echo "\$ ostrel replay examples/demo.session --svg ${OUT_DIR#"$ROOT"/}/demo.svg --png ${OUT_DIR#"$ROOT"/}/demo.png --trace ${OUT_DIR#"$ROOT"/}/demo.trace"
    "$ostrel" replay "$session" --svg "$OUT_DIR/demo.svg" --png "$OUT_DIR/demo.png" \
        --trace "$OUT_DIR/demo.trace" >"$OUT_DIR/demo.summary"
    sed -n '1,9p' "$OUT_DIR/demo.summary"
    echo "  ... ($(grep -c '^path ' "$OUT_DIR/demo.summary") paths; the whole summary is in ${OUT_DIR#"$ROOT"/}/demo.summary)"
    grep -A2 '^selection' "$OUT_DIR/demo.summary"
    grep '^wrote' "$OUT_DIR/demo.summary"
    echo "  ($(grep -vc '^# ' "$OUT_DIR/demo.trace") host and surface calls in ${OUT_DIR#"$ROOT"/}/demo.trace)"
    echo
    echo "The gallery of the bundled figures:"
    echo "  $OUT_DIR/gallery.svg"
    echo "  $OUT_DIR/gallery.png"
    echo "The demo session, drawn with every tool and edited:"
    echo "  $OUT_DIR/demo.svg"
    echo "  $OUT_DIR/demo.png"
}

main "$@"
