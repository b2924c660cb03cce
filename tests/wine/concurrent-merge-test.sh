#!/usr/bin/env bash
# Ten bqdm.exe merges of one extract started together, as a scheduler that
# fires twice or a user who double-clicks does: each replaces the output
# while the others read or replace it. Windows refuses such a replace for a
# moment (sharing violation, access denied); every run must wait it out and
# succeed, leaving one complete output and no temporary file. Prints its
# result in GoogleTest's closing lines, for run-tests.sh to count.
#   concurrent-merge-test.sh BUILD_DIR CODEPAGE    (the prefix's wine server already started)
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: concurrent-merge-test.sh BUILD_DIR CODEPAGE" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
. "$here/wine-env.sh"
bq_wine_env "$build" "$2" || exit 2

scratch="$build/wine/concurrent-$2-$$"
runs=()
cleanup() {
    [ ${#runs[@]} -eq 0 ] || kill -9 "${runs[@]}" 2>/dev/null || true
    [ -n "${BQ_KEEP:-}" ] || rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch"

records=20000
extract="$scratch/x.txt"
{
    printf 'FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n'
    yes $'ONE\r\n000000001\r\n125.00\r' | head -n $((3 * records))
    printf '{END DATA}\r\n'
} >"$extract"

bq_test_start ConcurrentMerge.EveryRunOfOneExtractSucceeds
for i in $(seq 10); do
    bq_wine_run timeout -k 5 120 "$WINELOADER" "$build/bin/bqdm.exe" merge "Z:${extract//\//\\}" --quiet \
        >"$scratch/out$i" 2>&1 &
    runs+=($!)
done
failed=0
for i in "${!runs[@]}"; do
    if ! wait "${runs[$i]}"; then
        failed=$((failed + 1))
        echo "run $((i + 1)): $(tr -d '\r' <"$scratch/out$((i + 1))")"
    fi
done
runs=()
[ "$failed" -eq 0 ] || fail "$failed of 10 concurrent merges failed"
lines="$(wc -l <"$scratch/2018DM_x.txt" 2>/dev/null || echo 0)"
[ "$lines" -eq "$records" ] || fail "the output holds $lines lines, not $records"
left="$(cd "$scratch" && ls -A | grep -v -x -e x.txt -e 2018DM_x.txt -e 'out[0-9]*' | tr '\n' ' ')"
[ -z "$left" ] || fail "left behind: $left"

bq_test_result
