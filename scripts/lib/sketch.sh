# Ostrel Sketch under Wine with its real X11 driver: the scripted tour on a private Xvfb
# display, and running the program on the user's display. Used by scripts/test.sh (one step)
# and scripts/sketch.sh. Source after common.sh and wine.sh.

# The tour draws at this size; the screen has room for the window's menu bar.
SKETCH_SIZE=1024x768
SKETCH_SCREEN=1280x1024x24

# A Wine prefix on the X11 driver. Created once, then reused: creating one takes half a minute
# and 700 MB, so the test run lends the suite's prefix and wine_prepare selects the null driver
# again when it next needs it. DISPLAY must be set.
sketch_prefix() {  # sketch_prefix dir
    export WINEPREFIX=$1 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE64" wineboot -i
        "$WINESERVER" -w
    fi
    # The X11 driver is Wine's default; undo a null driver a copied prefix may carry.
    "$WINE64" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    "$WINESERVER" -w
}

# A Windows path for a Unix one: Wine maps the Unix root to drive Z:.
sketch_winpath() {
    printf 'Z:%s' "${1//\//\\}"
}

# Runs sketch.exe on the user's display (DISPLAY) with the given arguments, and waits.
sketch_run() {  # sketch_run exe prefix-dir [arguments...]
    local exe=$1 prefix=$2
    shift 2
    sketch_prefix "$prefix"
    "$WINE64" "$exe" "$@"
}

# The tour, in a subshell of its own (its Wine and X settings stay inside). Starts Xvfb on a
# free display, the program in the X11 prefix with the client area at the screen's top-left
# corner, and scripts/lib/sketch_tour.py on it. Leaves OUT/sketch.png (the last screenshot),
# OUT/sketch-refused.png (the message for a file that is not a drawing) and OUT/sketch.svg
# (the drawing saved). Fails when any step's check fails.
sketch_tour() (  # sketch_tour exe prefix-dir out-dir
    set -euo pipefail
    local exe=$1 prefix=$2 out=$3 work start
    work=$(mktemp -d)
    start=$SECONDS
    local xvfb_pid="" program_pid=""
    cleanup() {
        if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
            kill "$program_pid" 2>/dev/null || true
        fi
        "$WINESERVER" -k >/dev/null 2>&1 || true
        if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
        rm -rf "$work"
    }
    trap cleanup EXIT

    # Xvfb picks a free display and writes its number to descriptor 3.
    Xvfb -displayfd 3 -screen 0 "$SKETCH_SCREEN" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local tries=0
    until [ -s "$work/display" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb did not start:"; cat "$work/xvfb.log"; return 1
        fi
        sleep 0.1
    done
    export DISPLAY=:$(head -n 1 "$work/display")
    echo "Xvfb on display $DISPLAY ($SKETCH_SCREEN)"

    local t0=$SECONDS
    sketch_prefix "$prefix"
    echo "Wine prefix $prefix ready in $((SECONDS - t0))s"

    # A file the sketch must refuse: SVG without the sketch's data.
    printf '%s\n' '<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">' \
        '<path d="M 0 0 L 10 10" stroke="#000"/></svg>' >"$work/not-a-drawing.svg"
    local figures
    figures=$(dirname "$exe")/figures
    "$WINE64" "$exe" "$(sketch_winpath "$work/drawing.svg")" --size "$SKETCH_SIZE" \
        >"$work/program.log" 2>&1 &
    program_pid=$!
    local window
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Ostrel Sketch - ' | head -n 1) || {
        echo "the sketch's window did not appear"; cat "$work/program.log"; return 1
    }
    echo "window $window: $(xdotool getwindowname "$window")"

    mkdir -p "$out"
    t0=$SECONDS
    local status=0
    timeout 300 python3 "$ROOT/scripts/lib/sketch_tour.py" "$window" "$work/drawing.svg" \
        "$(sketch_winpath "$work/drawing.svg")" "$figures" \
        "$(sketch_winpath "$work/not-a-drawing.svg")" "$out/sketch.png" \
        "${SKETCH_SIZE%x*}" "${SKETCH_SIZE#*x}" || status=$?
    echo "tour: $((SECONDS - t0))s"
    if [ -f "$work/drawing.svg" ]; then cp "$work/drawing.svg" "$out/sketch.svg"; fi

    # Alt+F4 closes the window as a user would (the drawing is saved: no question).
    xdotool key alt+F4 >/dev/null 2>&1 || true
    for tries in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        echo "the sketch did not close on Alt+F4"
        status=1
    else
        wait "$program_pid" || { echo "the sketch exited with status $?"; status=1; }
        program_pid=""
    fi
    echo "Wine step: $((SECONDS - start))s in all"
    return $status
)
