#!/usr/bin/env bash
# Runs a table of `ostrel check` commands (tests/data/check/windows.txt) with a given program
# and compares what each prints (standard output, then standard error, carriage returns
# dropped) and its exit status with the table. Each block of the table is a line
# "$ ostrel ARGS", the lines printed and "exit N"; the commands run in the table's folder.
# Usage: check_table.sh TABLE PROGRAM... (for example: wine64 build/win64/apps/ostrel/ostrel.exe)
# Prints one line per command that differs, with the difference; exits 1 if any did.
set -uo pipefail

TABLE=$(cd "$(dirname "${1:?usage: check_table.sh TABLE PROGRAM...}")" && pwd)/$(basename "$1")
shift
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$(dirname "$TABLE")"

rows=0 bad=0 command= args=()
: >"$WORK/expected"
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        '' | '#'*) ;;
        '$ ostrel'*)
            command=$line
            read -r -a args <<<"${line#\$ ostrel}"
            : >"$WORK/expected"
            ;;
        'exit '*)
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
        *) echo "$line" >>"$WORK/expected" ;;
    esac
done <"$TABLE"
echo "$rows commands, $bad differ"
[ "$rows" -gt 0 ] && [ "$bad" -eq 0 ]
