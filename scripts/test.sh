#!/usr/bin/env bash
# The test command. Checks that every include of src/ points down the layers
# (scripts/check_layers.sh) and that the sources are laid out as .clang-format says
# (scripts/format.sh --check), then builds and tests every target of Ostrel:
#   1. native Release build (benchmarks built, not run), every test program, the guides
#      checked against examples/ and the library (scripts/lib/check_docs.sh), and
#      `ostrel check figures/`;
#   2. native build with AddressSanitizer and UndefinedBehaviorSanitizer, every test again;
#   3. x86_64 Windows cross build, every test program run under Wine, `ostrel check` of
#      figures/ and of the broken files of tests/data/check and `ostrel replay` of the
#      sessions of tests/data/replay under Wine, and the tour of Ostrel Sketch: the program
#      under Wine's X11 driver on Xvfb, driven by real X input
#      (scripts/lib/sketch.sh; its last screenshot is out/sketch.png);
#   4. i686 Windows build of Ostrel.dll and Ostrel Sketch;
#   5. what users receive: the native build installed into a temporary prefix and moved,
#      the consumers of tests/consumers/ (find_package and pkg-config) built against it,
#      and scripts/package.sh's archives from the trees above: the Linux tarball with both
#      consumers, the Windows zip with the x86_64 consumer run under Wine;
#   6. the libFuzzer targets of fuzz/, each for FUZZ_SECONDS (when there are any);
# and checks the export and import tables, the SONAME and the version resources of every
# shared library it builds. Near the end it prints the tests' size against the code's.
# Missing Debian packages are installed when run as root. Build logs go to build/logs; the
# last line is "N passed, N failed" over everything that ran, and the exit status is
# non-zero if anything failed.
#
# Environment: BUILD_ROOT (default build/), JOBS (2), FUZZ_SECONDS (30), TEST_TIMEOUT
# (seconds per test program, 300).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"
source "$ROOT/scripts/lib/suite.sh"
source "$ROOT/scripts/lib/wine.sh"
source "$ROOT/scripts/lib/sketch.sh"
source "$ROOT/scripts/lib/install_checks.sh"

# ---- The binary interface ------------------------------------------------------------
# Every export of the library, in the order the tables list them (sorted).
EXPORTS=(VX_CreateGraphicCanvas VX_CreatePath VX_CreatePathEx VX_DestroyGraphicCanvas VX_Initial VX_Release
         VX_SetParameters)
# Exported by portable builds only.
PORTABLE_EXPORTS=(VX_SetPlatformHooks)
# The only DLLs a Windows binary of ours may import (case-insensitive, extended regex).
SYSTEM_DLLS='kernel32|user32|oleaut32|ole32|shlwapi|msvcrt|api-ms-win-crt-[a-z0-9-]+'
# The sketch draws with GDI and asks for file names with the common dialogs; it loads
# Ostrel.dll at run time, so its import table must not name it.
SKETCH_DLLS="$SYSTEM_DLLS|gdi32|comdlg32"

FUZZ_SECONDS=${FUZZ_SECONDS:-30}

# Compares a list of exported names (stdin) with the expected ones.
expect_exports() {  # expect_exports name...
    local expected actual
    expected=$(printf '%s\n' "$@" | sort)
    actual=$(sort)
    echo "expected exports:"; echo "$expected" | sed 's/^/  /'
    echo "exported:"; echo "$actual" | sed 's/^/  /'
    if [ "$expected" != "$actual" ]; then
        echo "export table differs (< expected, > exported):"
        diff <(echo "$expected") <(echo "$actual") || true
        return 1
    fi
}

# The names in the export table of a PE file, from objdump -p.
pe_exports() {  # pe_exports objdump file
    "$1" -p "$2" | awk '
        /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
        table && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF; next }
        table { table = 0 }
    '
}

check_pe_exports() {  # check_pe_exports objdump dll
    pe_exports "$1" "$2" | expect_exports "${EXPORTS[@]}"
}

# Every DLL that the given PE files import must match the pattern: a Windows system DLL,
# or for our programs also Ostrel.dll.
check_pe_imports() {  # check_pe_imports objdump dll-pattern file...
    local objdump=$1 allowed="^($2)\.dll$" file bad=0 dlls others
    shift 2
    for file in "$@"; do
        dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
        echo "${file##*/}: $(echo $dlls)"
        others=$(echo "$dlls" | grep -viE "$allowed" || true)
        if [ -n "$others" ]; then
            echo "  not allowed: $(echo $others)"
            bad=1
        fi
    done
    return $bad
}

check_elf_exports() {  # check_elf_exports library
    nm -D --defined-only "$1" | awk '{ print $NF }' |
        expect_exports "${EXPORTS[@]}" "${PORTABLE_EXPORTS[@]}"
}

# ---- The plan --------------------------------------------------------------------------
# Non-blank, non-comment lines of the C and C++ files under the given folders (the files
# git tracks, or every file outside a repository).
code_lines() {  # code_lines folder...
    local files
    if git -C "$ROOT" rev-parse --git-dir >/dev/null 2>&1; then
        files=$(git -C "$ROOT" ls-files -- "$@")
    else
        files=$(cd "$ROOT" && find "$@" -type f)
    fi
    grep -E '\.(c|cc|cpp|h)$' <<<"$files" | (cd "$ROOT" && xargs cat) | grep -cvE '^\s*(//.*)?$'
}

# The tests' size against the code's: the aim is at most 35 %.
print_test_ratio() {
    local tests code
    tests=$(code_lines tests) code=$(code_lines src include apps)
    echo "tests: $tests lines against $code of code (src/, include/, apps/):" \
         "$((100 * tests / code)) %"
}

# ---- The builds ----------------------------------------------------------------------
native_release() {
    echo "== native, Release"
    # The benchmarks are built here so that they keep compiling; scripts/bench.sh runs them.
    configure_and_build release -DCMAKE_BUILD_TYPE=Release -DOSTREL_BENCH=ON || return 0
    step "release: shared library exports only VX_*" release-exports \
        check_elf_exports "$BUILD_ROOT/release/src/libOstrel.so" || true
    step "release: SONAME carries the major version" release-soname \
        check_soname "$BUILD_ROOT/release/src" "$(tree_version "$BUILD_ROOT/release")" || true
    run_suite release "$BUILD_ROOT/release" || true
    # The guides' code is in examples/, their tables and traces are what the library gives.
    step "docs: guides agree with examples and library" docs \
        "$ROOT/scripts/lib/check_docs.sh" "$BUILD_ROOT/release" || true
    # Every bundled figure loads, and every text of it evaluates at both ends of each range.
    step "release: ostrel check figures/" check-figures \
        "$BUILD_ROOT/release/apps/ostrel/ostrel" check "$ROOT/figures" || true
}

native_sanitizers() {
    echo "== native, AddressSanitizer + UndefinedBehaviorSanitizer"
    configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON || return 0
    ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_suite asan "$BUILD_ROOT/asan" || true
}

windows_x86_64() {
    echo "== Windows x86_64 (mingw-w64), tests under Wine"
    local dir=$BUILD_ROOT/win64 objdump=x86_64-w64-mingw32-objdump
    configure_and_build win64 -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE64" || return 0
    step "win64: Ostrel.dll export table" win64-exports \
        check_pe_exports "$objdump" "$dir/src/Ostrel.dll" || true
    step "win64: Ostrel.dll imports only system DLLs" win64-imports \
        check_pe_imports "$objdump" "$SYSTEM_DLLS" "$dir/src/Ostrel.dll" || true
    step "win64: Ostrel.dll version resource" win64-version \
        check_pe_version x86_64-w64-mingw32-windres "$dir/src/Ostrel.dll" "$(tree_version "$dir")" ||
        true
    local programs
    mapfile -t programs < <(find "$dir/tests" "$dir/apps" "$dir/examples" -name '*.exe' 2>/dev/null | sort)
    step "win64: programs need no mingw runtime DLL" win64-program-imports \
        check_pe_imports "$objdump" "$SYSTEM_DLLS|ostrel" "${programs[@]}" || true
    step "win64: sketch.exe imports only system DLLs" win64-sketch-imports \
        check_pe_imports "$objdump" "$SKETCH_DLLS" "$dir/sketch/sketch.exe" || true
    step "win64: Wine prefix" win64-wine wine_prepare "$dir/wineprefix" || return 0
    run_suite win64 "$dir" || true
    # The checker on the Windows build: MSXML, and places only for files not well-formed.
    step "win64: ostrel check figures/ (Wine)" win64-check-figures \
        "$WINE64" "$dir/apps/ostrel/ostrel.exe" check "Z:$ROOT/figures" || true
    step "win64: ostrel check table (Wine)" win64-check-table \
        "$ROOT/scripts/lib/check_table.sh" "$ROOT/tests/data/check/expected.txt" --without-places \
        "$WINE64" "$dir/apps/ostrel/ostrel.exe" || true
    step "win64: ostrel check, MSXML lines (Wine)" win64-check-windows \
        "$ROOT/scripts/lib/check_table.sh" "$ROOT/tests/data/check/windows.txt" \
        "$WINE64" "$dir/apps/ostrel/ostrel.exe" || true
    # The replayed sessions on real Windows messages: the same summaries and calls.
    step "win64: ostrel replay sessions (Wine)" win64-replay \
        python3 "$ROOT/scripts/lib/replay_sessions.py" "$ROOT/tests/data/replay" "$ROOT/tests/data/golden" \
        "$ROOT/figures" --windows "$WINE64" "$dir/apps/ostrel/ostrel.exe" || true
    wine_stop
    step "win64: Ostrel Sketch tour (Wine X11 on Xvfb)" sketch-tour \
        sketch_tour "$dir/sketch/sketch.exe" "$dir/wineprefix" "$ROOT/out" || true
    sed -n 's/^\(Wine step\|tour\): /    sketch \1: /p' "$LOG_DIR/sketch-tour.log" || true
}

windows_i686() {
    echo "== Windows i686 (mingw-w64), Ostrel.dll and Ostrel Sketch"
    local dir=$BUILD_ROOT/win32 objdump=i686-w64-mingw32-objdump
    configure_and_build win32 -DCMAKE_BUILD_TYPE=Release -DOSTREL_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" || return 0
    step "win32: Ostrel.dll export table" win32-exports \
        check_pe_exports "$objdump" "$dir/src/Ostrel.dll" || true
    step "win32: Ostrel.dll imports only system DLLs" win32-imports \
        check_pe_imports "$objdump" "$SYSTEM_DLLS" "$dir/src/Ostrel.dll" || true
    step "win32: Ostrel.dll version resource" win32-version \
        check_pe_version i686-w64-mingw32-windres "$dir/src/Ostrel.dll" "$(tree_version "$dir")" ||
        true
    step "win32: sketch.exe imports only system DLLs" win32-sketch-imports \
        check_pe_imports "$objdump" "$SKETCH_DLLS" "$dir/sketch/sketch.exe" || true
}

# The install and the archives, from the trees built above (scripts/lib/install_checks.sh).
install_and_archives() {
    echo "== install, archives and their consumers"
    local release=$BUILD_ROOT/release work version dist=$ROOT/dist
    [ -f "$release/src/libOstrel.so" ] || return 0
    version=$(tree_version "$release")
    work=$(mktemp -d)
    if step "install: moved prefix, both consumers" install \
        check_install "$release" "$work/install"; then
        sed -n 's/^\(.* consumer\): /    \1: /p' "$LOG_DIR/install.log"
    fi
    if step "package: scripts/package.sh" package env DIST="$dist" "$ROOT/scripts/package.sh"; then
        step "package: Linux tarball, both consumers" package-linux \
            check_linux_tarball "$dist" "$version" "$work/linux" || true
        step "package: Windows zip, both targets" package-windows \
            check_windows_zip "$dist" "$version" "$work/windows" &&
            step "package: zip's x86_64 consumer under Wine" package-wine \
                run_wine_consumer "$work/windows/ostrel-$version-windows/x86_64" "$version" \
                "$work/wine-consumer" "$BUILD_ROOT/win64/wineprefix" || true
    fi
    rm -rf "$work"
}

# Each executable fuzz_<name> that fuzz/ builds runs for FUZZ_SECONDS on a fresh corpus,
# seeded from fuzz/corpus/<name>/ when that exists. A crash, leak or sanitizer report fails.
fuzz_targets() {
    [ -f "$ROOT/fuzz/CMakeLists.txt" ] || return 0
    echo "== fuzzing, ${FUZZ_SECONDS}s per target"
    local dir=$BUILD_ROOT/fuzz target name corpus
    configure_and_build fuzz "${FUZZ_CMAKE_ARGS[@]}" || return 0
    for target in $(find "$dir" -type f -executable -name 'fuzz_*' | sort); do
        name=${target##*/fuzz_}
        corpus=$(mktemp -d)
        if [ -d "$ROOT/fuzz/corpus/$name" ]; then cp -r "$ROOT/fuzz/corpus/$name/." "$corpus/"; fi
        step "fuzz: $name" "fuzz-$name" "$target" -max_total_time="$FUZZ_SECONDS" \
            -print_final_stats=1 -artifact_prefix="$LOG_DIR/fuzz-$name-" "$corpus" || true
        rm -rf "$corpus"
    done
}

main() {
    ensure_packages "${TEST_PACKAGES[@]}"
    mkdir -p "$LOG_DIR"
    echo "Ostrel tests; build logs in ${LOG_DIR#"$ROOT"/}"
    trap wine_stop EXIT
    step "layers: every include of src/ points down" layers "$ROOT/scripts/check_layers.sh" || true
    step "format: clang-format --dry-run -Werror" format "$ROOT/scripts/format.sh" --check || true
    native_release
    native_sanitizers
    windows_x86_64
    windows_i686
    install_and_archives
    fuzz_targets
    print_test_ratio
    print_total
    [ "$FAILED" -eq 0 ]
}

main "$@"
