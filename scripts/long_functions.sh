#!/bin/sh
# Lists every function whose body, from its opening brace to its closing one, runs over LIMIT
# lines (default 60) in src/, include/, apps/ and tests/, longest first, as
#   LINES FILE:LINE NAME
# Universal Ctags finds the functions (TEST bodies included); the count starts at the line of
# the first '{' after the name, so a long parameter list is not charged to the body.
# Usage: scripts/long_functions.sh [LIMIT]
set -eu
cd "$(dirname "$0")/.."
limit=${1:-60}
command -v ctags >/dev/null || { echo "long_functions.sh: needs ctags (universal-ctags)" >&2; exit 2; }
find src include apps tests -name '*.cpp' -o -name '*.h' -o -name '*.c' |
    sort |
    ctags -L - --languages=C,C++ --kinds-C++=fp --kinds-C=f --fields=+ne -o - 2>/dev/null |
    awk -F'\t' -v limit="$limit" '
        {
            start = ""; end = ""
            for (i = 4; i <= NF; ++i) {
                if ($i ~ /^line:/) start = substr($i, 6) + 0
                if ($i ~ /^end:/) end = substr($i, 5) + 0
            }
            if (start == "" || end == "" || end - start + 1 <= limit) next
            # Move the start to the line of the opening brace.
            line = 0; brace = start
            while ((getline text < $2) > 0) {
                if (++line < start) continue
                if (index(text, "{")) { brace = line; break }
            }
            close($2)
            if (end - brace + 1 > limit) printf "%d %s:%d %s\n", end - brace + 1, $2, start, $1
        }' |
    sort -k1,1nr -k2,2
