#!/usr/bin/env bash
# Makes the two archives of a release in dist/ (VERSION is the header's OSTREL_VERSION_*):
#
#   ostrel-VERSION-windows.zip         README.md, CHANGELOG.md and docs/, and per target
#                                      (i686/, x86_64/) an installed tree: bin/Ostrel.dll
#                                      and ostrel.exe, lib/libOstrel.dll.a (the import
#                                      library), lib/Ostrel.def, lib/cmake/Ostrel/,
#                                      lib/pkgconfig/ostrel.pc, include/ostrel/ostrel.h and
#                                      share/ostrel/figures/
#   ostrel-VERSION-linux-x86_64.tar.gz the installed tree of the native build (bin/, include/,
#                                      lib/, share/)
#
# It uses the build trees of scripts/test.sh (build/release, build/win64, build/win32) when
# they exist and otherwise makes its own (build/package-NAME, without tests); in both it
# builds only the library and the program. Missing Debian packages are installed when run
# as root. Environment: BUILD_ROOT (default build/), JOBS (2), DIST (dist/).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/lib/common.sh"
DIST=${DIST:-$ROOT/dist}

# The tree of that name, configured when there is none yet, with Ostrel and ostrel built.
# Prints its folder.
prepare_tree() {  # prepare_tree name cmake-args...
    local dir=$BUILD_ROOT/$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        dir=$BUILD_ROOT/package-${dir##*/}
        [ -f "$dir/CMakeCache.txt" ] ||
            cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DOSTREL_TESTS=OFF \
                -DOSTREL_EXAMPLES=OFF "$@" >&2
    fi
    cmake --build "$dir" -j "$JOBS" --target Ostrel ostrel >&2
    echo "$dir"
}

main() {
    ensure_packages "${BUILD_PACKAGES[@]}" g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
        binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    local linux_tree win64_tree win32_tree version
    linux_tree=$(prepare_tree release)
    win64_tree=$(prepare_tree win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake")
    win32_tree=$(prepare_tree win32 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake")
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_tree/CMakeCache.txt")

    STAGE=$(mktemp -d)
    trap 'rm -rf "$STAGE"' EXIT
    local linux=ostrel-$version-linux-x86_64 windows=ostrel-$version-windows
    cmake --install "$linux_tree" --prefix "$STAGE/$linux" --strip >/dev/null
    # Each Windows target gets its own tree, the documentation goes once beside them.
    local arch tree component
    for arch in i686 x86_64; do
        tree=$win32_tree
        [ $arch = i686 ] || tree=$win64_tree
        for component in Runtime Development; do
            cmake --install "$tree" --prefix "$STAGE/$windows/$arch" --strip \
                --component $component >/dev/null
        done
    done
    cp "$ROOT/README.md" "$ROOT/CHANGELOG.md" "$STAGE/$windows/"
    cp -r "$ROOT/docs" "$STAGE/$windows/"

    # Written beside their final names and renamed, so an archive is complete or absent.
    mkdir -p "$DIST"
    (cd "$STAGE" &&
        cmake -E tar czf "$DIST/.$linux.tar.gz" "$linux" &&
        cmake -E tar cf "$DIST/.$windows.zip" --format=zip "$windows")
    mv "$DIST/.$linux.tar.gz" "$DIST/$linux.tar.gz"
    mv "$DIST/.$windows.zip" "$DIST/$windows.zip"
    echo "${DIST#"$ROOT"/}/$windows.zip"
    echo "${DIST#"$ROOT"/}/$linux.tar.gz"
}

main "$@"
