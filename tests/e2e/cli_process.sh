#!/usr/bin/env bash
# The program's command line as a user meets it in a terminal without a display, over ssh or in a
# pipe: the real binary with an empty environment, its bytes on stdout, its exit codes.
# Usage: cli_process.sh PROGRAM LISTING_TOOL
set -uo pipefail
program=$1
listing_tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
ok() { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAILED: $1"; failed=$((failed + 1)); }
# No display, no session, no Qt settings: what an ssh login into a server has.
run() { env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$program" "$@"; }

for n in 75 105 0 -5 2147483647; do
    run --liste "$n" >"$work/out" 2>"$work/err"
    code=$?
    { "$listing_tool" "$n" "$n" | tr -d '\r'; echo; } >"$work/expected"
    if [ "$code" -eq 0 ] && cmp -s "$work/out" "$work/expected" && [ ! -s "$work/err" ]; then
        ok "--liste $n prints the listing of $n, line by line, with nothing on stderr"
    else
        bad "--liste $n (exit $code): $(head -c 300 "$work/err") $(diff "$work/expected" "$work/out" | head -5)"
    fi
done

run --suche 2 --von 75 --anzahl 3 >"$work/out" 2>"$work/err"
if [ $? -eq 0 ] && [ "$(cat "$work/out")" = $'105 8 2\n945 16 2\n1365 16 2' ]; then
    ok "--suche 2 --von 75 --anzahl 3 prints 105, 945 and 1365 with their runs and pairs"
else
    bad "--suche 2 --von 75 --anzahl 3: $(cat "$work/out" "$work/err")"
fi

# In a pipe that closes early, as head does; the first lines come all the same.
first=$(run --folge 2 --bis 2147483647 | head -n 2 | tr '\n' ' ')
if [ "$first" = "1 105 2 945 " ]; then
    ok "--folge 2 in a pipe: the sequence begins 105, 945"
else
    bad "--folge 2 in a pipe gave '$first'"
fi

run --help >"$work/out" 2>"$work/err"
if [ $? -eq 0 ] && grep -q -- '--folge 1|2 --bis N' "$work/out" && [ ! -s "$work/err" ]; then
    ok "--help prints the usage"
else
    bad "--help: $(cat "$work/err")"
fi

for args in "--foo" "--liste" "--liste abc" "--liste 3000000000" "--suche 1 --von x"; do
    # shellcheck disable=SC2086
    run $args >"$work/out" 2>"$work/err"
    code=$?
    if [ "$code" -eq 2 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" -eq 1 ]; then
        ok "'$args' is refused with exit code 2 and one line: $(cat "$work/err")"
    else
        bad "'$args': exit $code, stdout $(wc -c <"$work/out") bytes, stderr: $(cat "$work/err")"
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
