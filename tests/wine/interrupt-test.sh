#!/usr/bin/env bash
# bqdm.exe stopped by Ctrl+C in the middle of a merge, as a user at the
# console stops it: the temporary file, which holds the recipients' TINs,
# must go, and no output may appear. Wine turns SIGINT into the console's
# Ctrl+C event. Prints its result in GoogleTest's closing lines, for
# run-tests.sh to count.
#   interrupt-test.sh BUILD_DIR CODEPAGE    (the prefix's wine server already started)
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: interrupt-test.sh BUILD_DIR CODEPAGE" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
. "$here/wine-env.sh"
bq_wine_env "$build" "$2" || exit 2

scratch="$build/wine/interrupt-$2-$$"
merge=""
cleanup() {
    [ -z "$merge" ] || kill -9 "$merge" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch"

# Three million 1098-E records: the merge writes for a second or more,
# time enough to stop it while its temporary file is there.
extract="$scratch/x.txt"
{
    printf 'FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n'
    yes $'ONE\r\n000000001\r\n125.00\r' | head -n 9000000
    printf '{END DATA}\r\n'
} >"$extract"

bq_test_start Interrupt.CtrlCDuringAMergeRemovesItsTemporaryFile
bq_wine_run timeout -k 5 120 "$WINELOADER" "$build/bin/bqdm.exe" merge "Z:${extract//\//\\}" --quiet \
    >"$scratch/out" 2>&1 &
merge=$!
temporary=""
for _ in $(seq 3000); do
    temporary="$(find "$scratch" -name '~bq*.tmp' | head -n 1)"
    [ -z "$temporary" ] && kill -0 "$merge" 2>/dev/null || break
    sleep 0.01
done
program="$(pgrep -f "bqdm.exe merge Z:.*interrupt-$2-$$" | head -n 1)"
if [ -z "$temporary" ] || [ -z "$program" ]; then
    fail "the merge ended before it could be stopped (temporary file: '$temporary')"
else
    kill -INT "$program"
    wait "$merge" 2>/dev/null
    merge=""
    left="$(cd "$scratch" && ls -A | grep -v -x -e x.txt -e out | tr '\n' ' ')"
    [ -z "$left" ] || fail "left behind after Ctrl+C: $left"
fi

bq_test_result
