#!/usr/bin/env bash
# Runs every test program of a Windows build under wine, once with the
# Western ANSI code page 1252 and once with the Japanese double-byte code
# page 932, and prints one summary line per code page.
#   tests/wine/run-tests.sh BUILD_DIR [CODEPAGE...]     (default: 1252 932)
# Each program runs whole, limited to BQ_WINE_TIMEOUT seconds (default 900);
# the wine servers this script starts are stopped however it ends.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: run-tests.sh BUILD_DIR [CODEPAGE...]" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
shift
codepages=("$@")
[ ${#codepages[@]} -gt 0 ] || codepages=(1252 932)
. "$here/wine-env.sh"

shopt -s nullglob
programs=("$build"/bin/*_tests.exe)
[ ${#programs[@]} -gt 0 ] || { echo "run-tests.sh: no test programs in $build/bin" >&2; exit 1; }

started=()
stop_servers() {
    local prefix
    for prefix in "${started[@]}"; do WINEPREFIX="$prefix" "$(bq_wine_server)" -k 2>/dev/null || true; done
}
trap stop_servers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

status=0
logs="$build/wine/logs"
mkdir -p "$logs"
for cp in "${codepages[@]}"; do
    started+=("$build/wine/prefix-$cp")
    (
        bq_wine_env "$build" "$cp"
        bq_wine_prepare
        bq_wine_start 30
    )
    passed=0 failed=0 skipped=0 bad=()
    start=$SECONDS
    for program in "${programs[@]}"; do
        name="$(basename "$program" .exe)"
        log="$logs/$name-cp$cp.log"
        rc=0
        (
            bq_wine_env "$build" "$cp"
            cd "$build"
            bq_wine_run timeout -k 10 "${BQ_WINE_TIMEOUT:-900}" "$WINELOADER" "$program" --gtest_color=no
        ) >"$log" 2>&1 || rc=$?
        sed -i 's/\r$//' "$log"  # the console's CR LF
        # gtest's closing lines: "[==========] N tests from M test suites ran.",
        # "[  PASSED  ] N tests.", "[  SKIPPED ] N tests, listed below:" and one
        # "[  SKIPPED ] Suite.Name" or "[  FAILED  ] Suite.Name" line per test.
        ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$log" | tail -n 1)
        p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
        s=$(grep -c -E '^\[  SKIPPED \] [A-Za-z_0-9/]+\.[A-Za-z_0-9/]+(, where .*)?$' "$log" || true)
        f=$(grep -c -E '^\[  FAILED  \] [A-Za-z_0-9/]+\.[A-Za-z_0-9/]+(, where .*)?$' "$log" || true)
        passed=$((passed + ${p:-0})) skipped=$((skipped + s)) failed=$((failed + f))
        # Each skipped test with the first line of its reason.
        awk -v program="$name" '/: Skipped$/ { getline reason; next }
            /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { print program ": skipped " $4 ": " reason; reason = "" }' "$log"
        if [ "$rc" -ne 0 ] || [ -z "$ran" ]; then
            [ "$rc" -ne 124 ] || echo "$name: stopped after ${BQ_WINE_TIMEOUT:-900} s" >>"$log"
            grep -B 30 '^\[  FAILED  \] ' "$log" | head -n 200 || tail -n 60 "$log"
            bad+=("$name")
            # A crash or time-out counts as one failure more.
            [ -n "$ran" ] && [ "$f" -gt 0 ] || failed=$((failed + 1))
            status=1
        fi
    done
    # The test CodePage.IsTheOneTheRunnerSetUp prints and checks what wine set.
    seen="$(grep -h -m 1 '^ANSI code page' "$logs"/*-cp"$cp".log | head -n 1 || true)"
    echo "wine: code page $cp run took $((SECONDS - start)) s; ${seen:-the code page was not reported}; logs in $logs"
    echo "cp$cp: $passed passed, $failed failed, $skipped skipped"
    [ ${#bad[@]} -eq 0 ] || echo "wine cp$cp: failing programs: ${bad[*]}" >&2
done
exit "$status"
