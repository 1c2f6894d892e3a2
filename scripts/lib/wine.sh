# A private Wine prefix for running the x86_64 Windows tests. Source after common.sh.

WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# Creates the prefix the first time (the slow part, ten to twenty seconds), selects the null
# graphics driver so that windows work without a display, and leaves a wineserver running.
wine_prepare() {  # wine_prepare prefix-dir
    export WINEPREFIX=$1 WINEDEBUG=-all
    # No Mono or Gecko (their installers would ask to download), and no debugger: a crashing
    # test program must end with an error, not wait in winedbg.
    export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="
    unset DISPLAY WAYLAND_DISPLAY
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE64" wineboot -i
        "$WINESERVER" -w
    fi
    "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    "$WINESERVER" -w
    # A server and services started by the first test would inherit CTest's output pipe,
    # and CTest would wait for them: start them here, detached.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    "$WINE64" reg query 'HKCU\Software\Wine\Drivers' </dev/null >/dev/null 2>&1
}

# Stops this prefix's wineserver and everything it runs.
wine_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
}
