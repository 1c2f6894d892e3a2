#!/usr/bin/env bash
# Checks that every include of src/ points down the layers (src/CMakeLists.txt and the
# README's "Where things live" give the same order): a file of src/X/ may include src/X/,
# folders of lower rank, include/ostrel/ and system headers, nothing else. Lists each
# offence (file:line, the include, both ranks) and exits 1 when there is any; a folder of
# src/ that the order does not know is an offence too.
#
#   scripts/check_layers.sh [SRC_DIR]     (default: the src/ of this tree)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SRC=${1:-$ROOT/src}

declare -A RANK=(
    [text]=0
    [geometry]=1 [platform]=1
    [expr]=2
    [path]=3
    [templates]=4
    [tools]=5
    [editor]=6
    [interface]=7
)

bad=0
for dir in "$SRC"/*/; do
    folder=$(basename "$dir")
    if [ -z "${RANK[$folder]+x}" ]; then
        echo "src/$folder/: a folder the layer order does not know"
        bad=1
    fi
done

while IFS=: read -r file line text; do
    rel=${file#"$SRC"/}
    from=${rel%%/*}
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
    to=${target%%/*}
    # A file's own folder, include/ostrel/, and files beside it named without a folder.
    [ "$to" = "$from" ] || [ "$to" = ostrel ] || [ "$to" = "$target" ] && continue
    [ -n "${RANK[$from]+x}" ] || continue  # reported above
    if [ -z "${RANK[$to]+x}" ]; then
        echo "src/$rel:$line: #include \"$target\": $to/ is not a layer"
        bad=1
    elif [ "${RANK[$to]}" -ge "${RANK[$from]}" ]; then
        kind=upward
        [ "${RANK[$to]}" -eq "${RANK[$from]}" ] && kind=sideways
        echo "src/$rel:$line: #include \"$target\": $kind, $from (rank ${RANK[$from]}) to $to (rank ${RANK[$to]})"
        bad=1
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$SRC" \
             --include='*.h' --include='*.cpp' --include='*.cc' --include='*.c' | sort -t: -k1,1 -k2,2n)

if [ "$bad" -eq 0 ]; then
    echo "layers: every include of ${SRC#"$ROOT"/} points down"
fi
exit "$bad"
