#!/usr/bin/env bash
# The C and C++ sources' layout is .clang-format's (examples/ keeps its own: the guides quote
# its files verbatim, at the width a page shows):
#   scripts/format.sh            rewrites every source in place
#   scripts/format.sh --check    changes nothing; lists each difference and fails on any
#                                (a step of scripts/test.sh)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
mapfile -t files < <(find src include apps tests bench fuzz -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' \) -not -path 'fuzz/corpus/*' |
    sort)
if [ "${1:-}" = --check ]; then
    clang-format --dry-run -Werror "${files[@]}"
else
    clang-format -i "${files[@]}"
fi
