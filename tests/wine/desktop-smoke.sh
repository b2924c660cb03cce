#!/usr/bin/env bash
# The desktop program as a user's outside application starts it: BQ2018DM.exe
# with a good extract on its command line, on the X display BQ_DISPLAY, its
# boxes answered with the keyboard through xdotool. Prints its result in
# GoogleTest's closing lines, for run-tests.sh to count.
#   desktop-smoke.sh BUILD_DIR CODEPAGE    (the prefix's wine server already started)
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: desktop-smoke.sh BUILD_DIR CODEPAGE" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
. "$here/wine-env.sh"
[ -n "${BQ_DISPLAY:-}" ] || { echo "desktop-smoke.sh: no X display (BQ_DISPLAY)" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "desktop-smoke.sh: xdotool is not installed (Debian package xdotool)" >&2; exit 2; }
bq_wine_env "$build" "$2" || exit 2

# The scratch folder's name is new each run, so a TextDirectory value left
# by an earlier run cannot pass for this one's.
scratch="$build/wine/smoke-$2-$$"
app=""
cleanup() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch"
windows_path() { local p="${1//\//\\}"; echo "Z:$p"; }

# A 1099-A extract of two records for its first free-text field, its KEY
# line made from the field list bqdm reports.
fields="$(bq_wine_run timeout 60 "$WINELOADER" "$build/bin/bqdm.exe" fields 1099-A | tr -d '\r')"
count=$(printf '%s\n' "$fields" | grep -c .)
text=$(printf '%s\n' "$fields" | awk -F'\t' '$2 == "$" { print $1; exit }')
if [ -z "$text" ]; then
    echo "desktop-smoke.sh: bqdm fields 1099-A gave no free-text field" >&2
    exit 1
fi
flags="$(printf '%*s' "$count" '' | tr ' ' 0)"
flags="${flags:0:text}1${flags:text+1}"
extract="$scratch/good extract.txt"
printf 'FORM 1099-A\r\nKEY %03d%s\r\n{BEGIN DATA}\r\nALPHA\r\nBETA\r\n{END DATA}\r\n' "$count" "$flags" >"$extract"

bq_test_start DesktopSmoke.CommandLineExtractIsConvertedAndTheProgramEnds
# The path holds a blank: the program must take it whole from its command line.
bq_wine_run timeout -k 5 60 "$WINELOADER" "$build/bin/BQ2018DM.exe" "$(windows_path "$extract")" &
app=$!

# The instructions box, within 30 s; every window on the display is the program's.
box=""
for _ in $(seq 150); do
    box="$(xdotool search --onlyvisible --name '^Data Extract Import Instructions$' 2>/dev/null | head -n 1)"
    [ -z "$box" ] && kill -0 "$app" 2>/dev/null || break
    sleep 0.2
done
shown="$(for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do xdotool getwindowname "$w"; done |
    sort | tr '\n' '|')"
if [ -z "$box" ]; then
    fail "the instructions box did not appear within 30 s; windows shown: '$shown'"
    kill "$app" 2>/dev/null
else
    expected="Brisquill Data Merge Module [ 2018 ]|Data Extract Import Instructions|"
    [ "$shown" = "$expected" ] || fail "windows shown: '$shown', expected '$expected'"
    [ -f "$scratch/2018DM_good extract.txt" ] || fail "no output file 2018DM_good extract.txt beside the extract"
    # Return presses the box's OK button, which ends the program.
    xdotool key Return
fi

rc=0
wait "$app" || rc=$?
app=""
[ -z "$box" ] || [ "$rc" -eq 0 ] || fail "BQ2018DM.exe ended with status $rc (124: still running after 60 s)"

value="$(bq_wine_run timeout 60 "$WINELOADER" reg query 'HKCU\BRISQUILL\Import\BQ2018' /v TextDirectory 2>&1 |
    tr -d '\r' | sed -n 's/^ *TextDirectory *//p')"
expected="REG_SZ    $(windows_path "$scratch")\\"
[ "$value" = "$expected" ] || fail "TextDirectory is '$value', expected '$expected'"

bq_test_result
