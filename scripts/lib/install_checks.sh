# The checks of scripts/test.sh on what users receive: the SONAME, the DLL's version
# resource, the installed tree and the archives of scripts/package.sh, with the consumers of
# tests/consumers/ built against each from a clean folder. Source after common.sh and
# wine.sh; every function prints what it checks and fails with a non-zero status.

# What the consumers print, worked out by hand (see their sources).
FIND_PACKAGE_OUTPUT='Arrow M 10 45 L 160 45 L 160 20 L 210 70 L 160 120 L 160 95 L 10 95 Z'
PKG_CONFIG_OUTPUT='5 nodes, box 40 110 40 30'

# The project version of a build tree.
tree_version() {  # tree_version build-dir
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

expect_equal() {  # expect_equal what expected actual
    if [ "$2" = "$3" ]; then
        echo "$1: $(echo $3)"
        return 0
    fi
    echo "$1 differs (< expected, > actual):"
    diff <(echo "$2") <(echo "$3") || true
    return 1
}

# libOstrel.so is a link to libOstrel.so.MAJOR, a link to libOstrel.so.VERSION, whose
# SONAME is libOstrel.so.MAJOR.
check_soname() {  # check_soname folder version
    local dir=$1 version=$2 major=${2%%.*}
    expect_equal "libOstrel.so ->" "libOstrel.so.$major" "$(readlink "$dir/libOstrel.so")" &&
        expect_equal "libOstrel.so.$major ->" "libOstrel.so.$version" \
            "$(readlink "$dir/libOstrel.so.$major")" &&
        expect_equal "SONAME" "libOstrel.so.$major" \
            "$(readelf -d "$dir/libOstrel.so.$version" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')"
}

# The string table of a PE file's version resource, one "Name=Value" a line: windres turns
# the resource section back into resource script text.
pe_version_strings() {  # pe_version_strings windres file
    "$1" -J coff -O rc -i "$2" | sed -n -e 's/^ *\(FILEVERSION\|PRODUCTVERSION\) \(.*\)$/\1=\2/p' \
        -e 's/^ *VALUE "\([A-Za-z]*\)", "\(.*\)"$/\1=\2/p'
}

check_pe_version() {  # check_pe_version windres dll version
    local expected actual numbers="${3//./, }, 0"
    expected=$(printf '%s\n' "FILEVERSION=$numbers" "PRODUCTVERSION=$numbers" \
        "FileDescription=Ostrel vector figure library" "FileVersion=$3" InternalName=Ostrel \
        OriginalFilename=Ostrel.dll ProductName=Ostrel "ProductVersion=$3")
    actual=$(pe_version_strings "$1" "$2")
    expect_equal "version resource" "$expected" "$actual"
}

# Runs the installed program and both consumers from an installed tree (bin/ostrel finds
# share/ostrel/figures from its own folder).
check_linux_tree() {  # check_linux_tree prefix version work-dir
    local prefix=$1 version=$2 work=$3
    check_soname "$prefix/lib" "$version" || return 1
    expect_equal "installed ostrel builds Arrow" "nodes 8" \
        "$(cd "$work" && "$prefix/bin/ostrel" build Arrow --frame 0,0,100,50 | grep '^nodes')" &&
        run_find_package_consumer "$prefix" "$version" "$work/find_package" &&
        run_pkg_config_consumer "$prefix" "$version" "$work/pkg_config"
}

# Configures and builds tests/consumers/find_package in a new folder against the prefix
# and runs it on the prefix's figures.
run_find_package_consumer() {  # run_find_package_consumer prefix version build-dir
    cmake -S "$ROOT/tests/consumers/find_package" -B "$3" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$1" &&
        cmake --build "$3" &&
        expect_equal "find_package consumer" "Ostrel $2: $FIND_PACKAGE_OUTPUT" \
            "$("$3/consumer" "$1/share/ostrel/figures")"
}

run_pkg_config_consumer() {  # run_pkg_config_consumer prefix version build-dir
    export PKG_CONFIG_PATH=$1/lib/pkgconfig
    mkdir -p "$3"
    expect_equal "pkg-config --modversion ostrel" "$2" "$(pkg-config --modversion ostrel)" &&
        make -f "$ROOT/tests/consumers/pkg_config/Makefile" -C "$3" &&
        expect_equal "pkg-config consumer" "Ostrel $2: $PKG_CONFIG_OUTPUT" "$("$3/consumer")"
}

# Installs a build into the work folder, then moves the tree: nothing installed may name
# where it was installed, built or its sources lie. Leaves the tree in WORK/moved.
check_install() {  # check_install build-dir work-dir
    local build=$1 work=$2 found
    cmake --install "$build" --prefix "$work/installed" || return 1
    mv "$work/installed" "$work/moved"
    found=$(grep -rlF -e "$ROOT" -e "$BUILD_ROOT" -e "$work/installed" "$work/moved" || true)
    expect_equal "installed files naming a build path" "" "$found" &&
        check_linux_tree "$work/moved" "$(tree_version "$build")" "$work"
}

# The tarball of scripts/package.sh: unpacked, the same checks as an installed tree.
check_linux_tarball() {  # check_linux_tarball dist version work-dir
    local name=ostrel-$2-linux-x86_64
    mkdir -p "$3" && (cd "$3" && cmake -E tar xf "$1/$name.tar.gz") &&
        check_linux_tree "$3/$name" "$2" "$3"
}

# The zip of scripts/package.sh: every file a Windows host needs, per target, with the
# right machine type and a .def listing exactly the exports (EXPORTS, expect_exports of
# scripts/test.sh).
check_windows_zip() {  # check_windows_zip dist version work-dir
    local top=$3/ostrel-$2-windows arch file missing=() format
    mkdir -p "$3" && (cd "$3" && cmake -E tar xf "$1/ostrel-$2-windows.zip") || return 1
    for file in README.md CHANGELOG.md docs/host-guide.md docs/figures.md \
        {i686,x86_64}/{bin/Ostrel.dll,bin/ostrel.exe,lib/libOstrel.dll.a,lib/Ostrel.def} \
        {i686,x86_64}/{include/ostrel/ostrel.h,share/ostrel/figures/arrow.xml} \
        {i686,x86_64}/lib/{cmake/Ostrel/OstrelConfig.cmake,pkgconfig/ostrel.pc}; do
        [ -f "$top/$file" ] || missing+=("$file")
    done
    expect_equal "files missing from the zip" "" "${missing[*]}" || return 1
    for arch in i686 x86_64; do
        format=pei-i386
        [ $arch = i686 ] || format=pei-x86-64
        expect_equal "$arch/bin/Ostrel.dll" "file format $format" \
            "$(x86_64-w64-mingw32-objdump -f "$top/$arch/bin/Ostrel.dll" | grep -o 'file format .*')" ||
            return 1
        echo "$arch/lib/Ostrel.def:"
        awk '/^EXPORTS/ { on = 1; next } on && NF { print $1 }' "$top/$arch/lib/Ostrel.def" |
            expect_exports "${EXPORTS[@]}" || return 1
    done
}

# Builds the find_package consumer for x86_64 Windows against the zip's x86_64 tree and
# runs it under Wine with that tree's bin/ as the only place Ostrel.dll is found.
run_wine_consumer() {  # run_wine_consumer tree version build-dir wine-prefix
    local tree=$1 out
    cmake -S "$ROOT/tests/consumers/find_package" -B "$3" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
        -DOstrel_DIR="$tree/lib/cmake/Ostrel" \
        -DCMAKE_EXE_LINKER_FLAGS="-static -static-libgcc -static-libstdc++" &&
        cmake --build "$3" || return 1
    wine_prepare "$4" || return 1
    out=$(WINEPATH="Z:$tree/bin" "$WINE64" "$3/consumer.exe" "Z:$tree/share/ostrel/figures" |
        tr -d '\r')
    wine_stop
    expect_equal "x86_64 consumer under Wine" "Ostrel $2: $FIND_PACKAGE_OUTPUT" "$out"
}
