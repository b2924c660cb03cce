#!/usr/bin/env bash
# Checks the Windows packages of a Windows build: the zip's files, and the
# NSIS installer run silently under wine in a wine prefix of its own:
# installed under Program Files with a Start-menu entry and an Add/Remove
# Programs entry, bqdm.exe --version, then the silent uninstall removes it all.
#   packaging/tests/installer-test.sh BUILD_DIR     (after cpack in BUILD_DIR)
# Every wine run is limited in time; the prefix's wine server is stopped and
# the prefix removed however the script ends.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: installer-test.sh BUILD_DIR" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
zip="$build/packages/BQ2018DM-$version-win64.zip"
installer="$build/packages/BQ2018DM-$version-win64.exe"
for f in "$zip" "$installer"; do
    [ -f "$f" ] || { echo "installer-test.sh: no $f; make it with ./run package" >&2; exit 1; }
done
. "$here/../../tests/wine/wine-env.sh"
bq_wine_env "$build" 1252
export WINEPREFIX="$BQ_WINE_DIR/prefix-installer"
stop() {
    "$BQ_WINE_SERVER" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
stop

passed=0 failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /' || true
    fi
}
wine_run() {  # wine_run SECONDS PROGRAM [ARGS...]: a Windows program, its output without CRs
    local seconds="$1"
    shift
    bq_wine_run timeout -k 10 "$seconds" "$WINELOADER" "$@" 2>/dev/null | tr -d '\r'
}
settle() {  # until every program of the prefix has ended and the registry is saved
    timeout 120 "$BQ_WINE_SERVER" -w || "$BQ_WINE_SERVER" -k
}
uninstall_key() {  # the Add/Remove Programs entry as the saved registry holds it
    sed -n '/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\BQ2018DM\]/,/^$/p' \
        "$WINEPREFIX/system.reg" | grep -E '^"(DisplayName|DisplayVersion|Publisher|UninstallString)"=' || true
}

expect "the zip's files" "BQ2018DM-$version-win64/BQ2018DM.exe
BQ2018DM-$version-win64/README.txt
BQ2018DM-$version-win64/bqdm.exe" "$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)"

bq_wine_prepare
program_files="$WINEPREFIX/drive_c/Program Files/BQ2018DM"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brisquill Data Merge Module 2018"

wine_run 300 "$installer" /S >/dev/null
settle
expect "installed under Program Files" "BQ2018DM.exe
README.txt
Uninstall.exe
bqdm.exe" "$(ls "$program_files" 2>&1 | LC_ALL=C sort)"
expect "Start-menu entries" "Brisquill Data Merge Module 2018.lnk
Uninstall.lnk" "$(ls "$start_menu" 2>&1 | LC_ALL=C sort)"
expect "Add/Remove Programs entry" "\"DisplayName\"=\"Brisquill Data Merge Module 2018\"
\"DisplayVersion\"=\"$version\"
\"Publisher\"=\"Brisquill\"
\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\BQ2018DM\\\\Uninstall.exe\\\"\"" "$(uninstall_key)"
expect "bqdm.exe --version, installed" "bqdm $version (BQ2018DM, reporting year 2018)" \
    "$(wine_run 60 'C:\Program Files\BQ2018DM\bqdm.exe' --version)"

# The uninstaller copies itself elsewhere and runs from there; settle waits for it.
wine_run 300 'C:\Program Files\BQ2018DM\Uninstall.exe' /S >/dev/null
settle
expect "uninstalled: the folder is gone" "no" "$([ -e "$program_files" ] && echo yes || echo no)"
expect "uninstalled: the Start-menu folder is gone" "no" "$([ -e "$start_menu" ] && echo yes || echo no)"
expect "uninstalled: the Add/Remove Programs entry is gone" "" "$(uninstall_key)"

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
