#!/usr/bin/env bash
# Checks that the guides say what the code and the library do:
#   1. every fenced cpp, c or cmake block of docs/host-guide.md appears word for word in a
#      file under examples/ (which the build compiles);
#   2. every fenced xml block of docs/figures.md appears word for word in a file of
#      figures/ or examples/figures/;
#   3. every table of docs/figures.md after a line "<!-- checked: value = coordinate -->"
#      (columns: `text`, result, note) or "<!-- checked: value, coordinate -->" (columns:
#      `text`, as a value, as a coordinate, note) gives those results through the library
#      (examples/figure_values);
#   4. every fenced text block after a line "<!-- trace: SESSION -->" lists lines of the
#      trace that `ostrel replay SESSION --trace` writes, in that order ("..." skips);
#   5. every fenced text block after a line "<!-- output: ARGS -->" is exactly what
#      `ostrel ARGS` prints (standard output and error; the exit status is not looked at).
# Usage: check_docs.sh BUILD_DIR (a native build with apps/ostrel/ostrel and
# examples/figure_values). Prints one line per problem; exits 1 if there was any.
set -euo pipefail
shopt -s nullglob

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$(cd "${1:?usage: check_docs.sh BUILD_DIR}" && pwd)
OSTREL=$BUILD/apps/ostrel/ostrel
VALUES=$BUILD/examples/figure_values
HOST_GUIDE=docs/host-guide.md
FIGURES_GUIDE=docs/figures.md
cd "$ROOT"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
problems=0
problem() { echo "$*"; problems=$((problems + 1)); }

# Writes the fenced blocks of a guide whose info string matches the pattern, one file per
# block (WORK/PREFIX.N, with the guide's line in WORK/PREFIX.N.line), and the comment
# marker just before the fence (if any) in WORK/PREFIX.N.marker.
extract_blocks() {  # extract_blocks guide pattern prefix
    awk -v pattern="^(${2})\$" -v prefix="$WORK/$3" '
        !inside && /^```/ {
            info = substr($0, 4)
            if (info ~ pattern) {
                inside = 1; n++; file = prefix "." n
                printf "" > file
                print FNR > (file ".line")
                if (marker != "") print marker > (file ".marker")
            } else {
                skipping = !skipping
            }
            marker = ""
            next
        }
        inside && /^```$/ { inside = 0; close(prefix "." n); next }
        inside { print > file; next }
        /^<!-- [a-z]+: .* -->$/ { marker = $0; next }
        /[^[:space:]]/ { marker = "" }
    ' "$1"
}

# The block files that extract_blocks wrote with a prefix, in order.
blocks() {  # blocks prefix
    ls "$WORK" | grep -E "^$1\.[0-9]+\$" | sort -t. -k2 -n | sed "s|^|$WORK/|"
}

# True when the block's text occurs whole in one of the files.
found_in() {  # found_in block file...
    local block=$1 file
    shift
    for file in "$@"; do
        if awk -v block="$block" '
            BEGIN { while ((getline line < block) > 0) want = want line "\n" }
            { have = have $0 "\n" }
            END { exit index(have, want) ? 0 : 1 }
        ' "$file"; then
            return 0
        fi
    done
    return 1
}

# ---- 1 and 2: code shown in the guides is code that builds or loads -------------------
mapfile -t example_files < <(find examples -type f \( -name '*.cpp' -o -name '*.h' \
    -o -name '*.c' -o -name 'CMakeLists.txt' \) | sort)
extract_blocks "$HOST_GUIDE" 'cpp|c\+\+|c|cmake' code
count=0
for block in $(blocks code); do
    count=$((count + 1))
    found_in "$block" "${example_files[@]}" ||
        problem "$HOST_GUIDE:$(cat "$block.line"): code block not found word for word in examples/"
done
[ "$count" -gt 0 ] || problem "$HOST_GUIDE: no code blocks"

mapfile -t figure_files < <(find figures examples/figures -type f -name '*.xml' 2>/dev/null | sort)
extract_blocks "$FIGURES_GUIDE" 'xml' xml
for block in $(blocks xml); do
    found_in "$block" "${figure_files[@]}" ||
        problem "$FIGURES_GUIDE:$(cat "$block.line"): xml block not found word for word in figures/ or examples/figures/"
done

# ---- 3: the expression tables ---------------------------------------------------------
# Rows: the table's line number, the text, and the expected value and coordinate results.
# A table starts on the line after its marker and ends at the first line that is not a row.
awk '
    /^<!-- checked: value = coordinate -->$/ { mode = 1; next }
    /^<!-- checked: value, coordinate -->$/ { mode = 2; next }
    mode && !/^\|/ { mode = 0; next }
    mode {
        n = split($0, cell, "|")
        text = cell[2]
        if (text !~ /^ *`.*` *$/) next  # the header and the rule
        sub(/^ *`/, "", text); sub(/` *$/, "", text)
        for (i = 3; i <= n; i++) { gsub(/^ +| +$/, "", cell[i]) }
        coordinate = mode == 1 ? cell[3] : cell[4]
        printf "%d\t%s\t%s\t%s\n", FNR, text, cell[3], coordinate
    }
' "$FIGURES_GUIDE" >"$WORK/rows"
if [ ! -s "$WORK/rows" ]; then
    problem "$FIGURES_GUIDE: no checked expression tables"
else
    mkdir "$WORK/values"
    cut -f2 "$WORK/rows" | "$VALUES" "$WORK/values" >"$WORK/results"
    while IFS=$'\t' read -r line text value coordinate got_value got_coordinate; do
        [ "$value" = "$got_value" ] && [ "$coordinate" = "$got_coordinate" ] ||
            problem "$FIGURES_GUIDE:$line: \`$text\` gives $got_value as a value and $got_coordinate as a coordinate; the table says $value and $coordinate"
    done < <(paste "$WORK/rows" "$WORK/results")
fi

# ---- 4 and 5: traces and program output -----------------------------------------------
check_runs() {  # check_runs guide prefix
    local block where marker session args
    extract_blocks "$1" 'text' "$2"
    for block in $(blocks "$2"); do
        [ -f "$block.marker" ] || continue
        where="$1:$(cat "$block.line")"
        marker=$(sed 's/^<!-- \(.*\) -->$/\1/' "$block.marker")
        case $marker in
            trace:\ *)
                session=${marker#trace: }
                if ! "$OSTREL" replay "$session" --trace "$WORK/trace" >/dev/null 2>"$WORK/err"; then
                    problem "$where: ostrel replay $session failed: $(head -1 "$WORK/err")"
                    continue
                fi
                # Each line of the block, in order, must be a line of the trace.
                awk -v block="$block" '
                    BEGIN { while ((getline line < block) > 0) if (line != "...") want[++n] = line; i = 1 }
                    i <= n && $0 == want[i] { i++ }
                    END { if (i <= n) { print want[i]; exit 1 } }
                ' "$WORK/trace" >"$WORK/missing" ||
                    problem "$where: the trace of $session has no line \"$(cat "$WORK/missing")\" where the guide shows it"
                ;;
            output:\ *)
                read -r -a args <<<"${marker#output: }"
                # The output alone counts: a command that reports problems (a figure check)
                # ends with a non-zero status on purpose.
                "$OSTREL" "${args[@]}" >"$WORK/out" 2>&1 || true
                if ! cmp -s "$WORK/out" "$block"; then
                    problem "$where: \`ostrel ${args[*]}\` prints something else:"
                    diff "$block" "$WORK/out" | sed 's/^/    /' || true
                fi
                ;;
        esac
    done
}
check_runs "$HOST_GUIDE" trace
check_runs "$FIGURES_GUIDE" output

if [ "$problems" -gt 0 ]; then
    echo "$problems problems in the guides"
    exit 1
fi
echo "guides agree with examples/, figures/ and the library"
