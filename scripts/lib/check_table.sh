#!/usr/bin/env bash
# Runs a table of `ostrel check` commands (tests/data/check/*.txt) with a given program and
# compares what each prints (standard output, then standard error, carriage returns dropped)
# and its exit status with the table. Each block of the table is a line "$ ostrel ARGS", the
# lines printed and "exit N"; the commands run in the table's folder.
# With --without-places the expected lines lose their line and column numbers, as the
# Windows build prints them, and blocks after a line "# portable only: WHY" are skipped.
# Usage: check_table.sh TABLE [--without-places] PROGRAM...
#   (for example: check_table.sh expected.txt --without-places wine64 ostrel.exe)
# Prints one line per command that differs, with the difference; exits 1 if any did.
set -uo pipefail

TABLE=$(cd "$(dirname "${1:?usage: check_table.sh TABLE [--without-places] PROGRAM...}")" && pwd)/$(basename "$1")
shift
without_places=0
if [ "${1:-}" = --without-places ]; then
    without_places=1
    shift
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$(dirname "$TABLE")"

rows=0 bad=0 command= args=() skip=0 portable_only=0
: >"$WORK/expected"
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        '# portable only:'*) portable_only=$without_places ;;
        '' | '#'*) ;;
        '$ ostrel'*)
            command=$line
            read -r -a args <<<"${line#\$ ostrel}"
            : >"$WORK/expected"
            skip=$portable_only portable_only=0
            ;;
        'exit '*)
            [ "$skip" -eq 0 ] || continue
            rows=$((rows + 1))
            "$@" "${args[@]}" >"$WORK/out" 2>"$WORK/err" </dev/null
            echo "exit $?" >"$WORK/status"
            cat "$WORK/out" "$WORK/err" | tr -d '\r' >"$WORK/got"
            cat "$WORK/status" >>"$WORK/got"
            echo "$line" >>"$WORK/expected"
            if ! cmp -s "$WORK/expected" "$WORK/got"; then
                bad=$((bad + 1))
                echo "$command: differs (< table, > program)"
                diff "$WORK/expected" "$WORK/got" | sed 's/^/    /'
            fi
            ;;
        *)
            if [ "$without_places" -eq 1 ]; then
                line=$(sed -E 's/^([^ :]+):[0-9]+(:[0-9]+)?: /\1: /; s/ at ([^ :]+):[0-9]+(:[0-9]+)?$/ at \1/' <<<"$line")
            fi
            echo "$line" >>"$WORK/expected"
            ;;
    esac
done <"$TABLE"
echo "$rows commands, $bad differ"
[ "$rows" -gt 0 ] && [ "$bad" -eq 0 ]
