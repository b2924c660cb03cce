#!/usr/bin/env bash
# The Windows build's CMAKE_CROSSCOMPILING_EMULATOR: runs PROGRAM.exe under
# wine, so ctest (and gtest_discover_tests) can run the tests.
#   wine-exec.sh PROGRAM [ARGS...]
# The build folder is the one above PROGRAM that holds CMakeCache.txt. The
# code page is BQ_WINE_CODEPAGE (1252 when unset; the test preset
# windows-cp932 sets 932). Each run is limited to BQ_WINE_TIMEOUT seconds
# (default 600). The wine server would end by itself a few seconds after the
# last program; `wine-exec.sh --stop BUILD_DIR` (ctest's last test,
# wine_stop) stops it at once.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: wine-exec.sh PROGRAM [ARGS...] | --stop BUILD_DIR" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
if [ "$1" = --stop ]; then
    bq_wine_env "$2" "${BQ_WINE_CODEPAGE:-1252}"
    [ ! -d "$WINEPREFIX" ] || "$BQ_WINE_SERVER" -k 2>/dev/null || true
    exit 0
fi
build="$(cd "$(dirname "$1")" && pwd)"
while [ ! -f "$build/CMakeCache.txt" ]; do
    [ "$build" != / ] || { echo "wine-exec.sh: $1 is not in a build folder" >&2; exit 2; }
    build="$(dirname "$build")"
done
bq_wine_env "$build" "${BQ_WINE_CODEPAGE:-1252}"
bq_wine_prepare
bq_wine_start 30
bq_wine_run timeout -k 10 "${BQ_WINE_TIMEOUT:-600}" "$WINELOADER" "$@"
