#!/usr/bin/env bash
# Runs every test program of a Windows build under wine, once with the
# Western ANSI code page 1252 and once with the Japanese double-byte code
# page 932, and prints one summary line per code page.
#   tests/wine/run-tests.sh BUILD_DIR [CODEPAGE...]     (default: 1252 932)
# The console programs (*_tests.exe, and interrupt-test.sh with the real
# bqdm.exe) run without a display. The desktop
# tests, the in-process window tests (*_gui_tests.exe) and desktop-smoke.sh
# with the real BQ2018DM.exe, run on a private Xvfb display that this script
# starts. Each program runs whole, limited to BQ_WINE_TIMEOUT seconds
# (default 900; desktop tests BQ_WINE_DESKTOP_TIMEOUT, default 120); the wine
# servers and the X server this script starts are stopped however it ends.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: run-tests.sh BUILD_DIR [CODEPAGE...]" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
shift
codepages=("$@")
[ ${#codepages[@]} -gt 0 ] || codepages=(1252 932)
. "$here/wine-env.sh"

shopt -s nullglob
programs=() desktop=()
for program in "$build"/bin/*_tests.exe; do
    case "$program" in
        *_gui_tests.exe) desktop+=("$program") ;;
        *) programs+=("$program") ;;
    esac
done
[ ${#programs[@]} -gt 0 ] || { echo "run-tests.sh: no test programs in $build/bin" >&2; exit 1; }
[ ! -f "$build/bin/bqdm.exe" ] || programs+=("$here/interrupt-test.sh" "$here/concurrent-merge-test.sh")
[ ! -f "$build/bin/BQ2018DM.exe" ] || desktop+=("$here/desktop-smoke.sh")

started=()
stop_servers() {
    local prefix
    for prefix in "${started[@]}"; do WINEPREFIX="$prefix" "$(bq_wine_server)" -k 2>/dev/null || true; done
    bq_xvfb_stop
}
trap stop_servers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

status=0
logs="$build/wine/logs"
mkdir -p "$logs"
if [ ${#desktop[@]} -gt 0 ] && ! bq_xvfb_start "$logs/xvfb.log"; then
    echo "run-tests.sh: without a display the desktop tests fail: ${desktop[*]##*/}" >&2
    desktop=()
    status=1
fi

# Runs PROGRAM (a test .exe, or a script printing gtest's closing lines) in
# code page $cp, on the X display when KIND is desktop, and adds its counts
# to the code page's.
run_program() {
    local kind="$1" program="$2" name log rc=0 limit="${BQ_WINE_TIMEOUT:-900}"
    name="$(basename "$program")"
    name="${name%.*}${3:+-dpi$3}"
    log="$logs/$name-cp$cp.log"
    [ "$kind" = console ] || limit="${BQ_WINE_DESKTOP_TIMEOUT:-120}"
    (
        if [ "$kind" = desktop ]; then export BQ_DISPLAY; else unset BQ_DISPLAY; fi
        bq_wine_env "$build" "$cp"
        cd "$build"
        case "$program" in
            *.exe) bq_wine_run timeout -k 10 "$limit" "$WINELOADER" "$program" --gtest_color=no ;;
            *) timeout -k 10 "$limit" "$program" "$build" "$cp" ;;
        esac
    ) >"$log" 2>&1 || rc=$?
    sed -i 's/\r$//' "$log"  # the console's CR LF
    # gtest's closing lines: "[==========] N tests from M test suites ran.",
    # "[  PASSED  ] N tests.", "[  SKIPPED ] N tests, listed below:" and one
    # "[  SKIPPED ] Suite.Name" or "[  FAILED  ] Suite.Name" line per test.
    local ran p s f
    ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$log" | tail -n 1)
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
    s=$(grep -c -E '^\[  SKIPPED \] [A-Za-z_0-9/]+\.[A-Za-z_0-9/]+(, where .*)?$' "$log" || true)
    f=$(grep -c -E '^\[  FAILED  \] [A-Za-z_0-9/]+\.[A-Za-z_0-9/]+(, where .*)?$' "$log" || true)
    passed=$((passed + ${p:-0})) skipped=$((skipped + s)) failed=$((failed + f))
    # Each skipped test with the first line of its reason.
    awk -v program="$name" '/: Skipped$/ { getline reason; next }
        /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { print program ": skipped " $4 ": " reason; reason = "" }' "$log"
    if [ "$rc" -ne 0 ] || [ -z "$ran" ]; then
        [ "$rc" -ne 124 ] || echo "$name: stopped after $limit s" >>"$log"
        grep -B 30 '^\[  FAILED  \] ' "$log" | head -n 200 || tail -n 60 "$log"
        bad+=("$name")
        # A crash or time-out counts as one failure more.
        [ -n "$ran" ] && [ "$f" -gt 0 ] || failed=$((failed + 1))
        status=1
    fi
}

for cp in "${codepages[@]}"; do
    started+=("$build/wine/prefix-$cp")
    (
        bq_wine_env "$build" "$cp"
        bq_wine_prepare
        bq_wine_start 30
    )
    passed=0 failed=0 skipped=0 bad=()
    start=$SECONDS
    for program in "${programs[@]}"; do run_program console "$program"; done
    if [ ${#desktop[@]} -gt 0 ]; then
        # The display driver is chosen once per wine server, by the desktop
        # process of its first programs: the server of the console programs,
        # which had no display, makes way for one that has the X display.
        desktop_start=$SECONDS
        (
            export BQ_DISPLAY
            bq_wine_env "$build" "$cp"
            "$BQ_WINE_SERVER" -k 2>/dev/null || true
            timeout 60 "$BQ_WINE_SERVER" -w || true
            bq_wine_start 30
            bq_wine_desktop_settings || echo "wine: the desktop settings could not be made" >&2
        )
        for program in "${desktop[@]}"; do
            case "$program" in
                # The windows at every display scaling users have: 100%, 125%, 150% and 200%.
                *_gui_tests.exe)
                    for dpi in $([ "$cp" = 1252 ] && echo "${BQ_WINE_DPIS:-96 120 144 192}" || echo 96); do
                        (bq_wine_env "$build" "$cp" && bq_wine_dpi "$dpi") || echo "wine: the dpi could not be set to $dpi" >&2
                        run_program desktop "$program" "$dpi"
                    done
                    (bq_wine_env "$build" "$cp" && bq_wine_dpi 96) || true
                    ;;
                *) run_program desktop "$program" ;;
            esac
        done
        echo "wine: desktop tests in code page $cp took $((SECONDS - desktop_start)) s"
    fi
    # The test CodePage.IsTheOneTheRunnerSetUp prints and checks what wine set.
    seen="$(grep -h -m 1 '^ANSI code page' "$logs"/*-cp"$cp".log | head -n 1 || true)"
    echo "wine: code page $cp run took $((SECONDS - start)) s; ${seen:-the code page was not reported}; logs in $logs"
    echo "cp$cp: $passed passed, $failed failed, $skipped skipped"
    [ ${#bad[@]} -eq 0 ] || echo "wine cp$cp: failing programs: ${bad[*]}" >&2
done
exit "$status"
