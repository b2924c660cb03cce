# Sourced by run-tests.sh and wine-exec.sh: the environment in which the
# Windows build's programs run under wine, one private wine prefix per ANSI
# code page inside the build folder, so nothing outside it is touched.
#
#   bq_wine_env BUILD_DIR CODEPAGE   exports WINEPREFIX, locale and the rest
#   bq_wine_prepare                  builds the locale and the prefix if missing
#
#   bq_wine_start [SECONDS]          starts the wine server, kept SECONDS (30) after the last program
#   bq_wine_run COMMAND [ARGS...]    runs COMMAND (wine, wineboot) in that locale
#   bq_wine_desktop_settings         sets what the desktop tests need, in the running server
#   bq_wine_dpi DPI                  the display's dpi for the programs started next
#
#   bq_xvfb_start                    starts a private X server for the desktop tests, sets BQ_DISPLAY
#   bq_xvfb_stop                     stops it
#
#   bq_test_start NAME, fail REASON, bq_test_result
#                                    a scripted test's result in GoogleTest's lines
#
# CODEPAGE is 1252 (Western, C.UTF-8 locale) or 932 (Japanese, a Shift-JIS
# locale built with localedef into BUILD_DIR/wine/locale). Wine takes the
# ANSI code page from the Unix locale when a process starts.

bq_wine_loader() {  # Debian 12 has wine64 in /usr/lib/wine; others have it on PATH
    if command -v wine64 >/dev/null 2>&1; then command -v wine64
    elif [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
    else command -v wine
    fi
}

bq_wine_server() {
    if command -v wineserver >/dev/null 2>&1; then command -v wineserver
    else echo /usr/lib/wine/wineserver
    fi
}

bq_wine_env() {
    local build cp
    build="$(cd "$1" && pwd)"
    cp="$2"
    BQ_WINE_DIR="$build/wine"
    BQ_WINE_LOADER="${BQ_WINE_LOADER:-$(bq_wine_loader)}"
    BQ_WINE_SERVER="${BQ_WINE_SERVER:-$(bq_wine_server)}"
    if [ -z "$BQ_WINE_LOADER" ] || [ ! -x "$BQ_WINE_SERVER" ]; then
        echo "wine: not installed (Debian packages wine and wine64; ./run test-windows installs them)" >&2
        return 1
    fi
    BQ_WINE_CODEPAGE="$cp"
    export WINEPREFIX="$BQ_WINE_DIR/prefix-$cp"
    export WINEARCH=win64
    export WINELOADER="$BQ_WINE_LOADER"
    export WINEDEBUG=-all
    # No Mono or Gecko: nothing here needs them, and wine would ask to install them.
    # No menu entries on the host for what the tests install.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # No display, so wine never opens a window on the user's screen; the
    # desktop tests alone get the private X server of bq_xvfb_start.
    unset DISPLAY WAYLAND_DISPLAY
    [ -z "${BQ_DISPLAY:-}" ] || export DISPLAY="$BQ_DISPLAY"
    # The locale applies to wine alone (bq_wine_run), not to the shell.
    case "$cp" in
        1252) BQ_WINE_LOCALE=(-u LOCPATH LANG=C.UTF-8 LC_ALL=C.UTF-8) ;;
        932) BQ_WINE_LOCALE=("LOCPATH=$BQ_WINE_DIR/locale" LANG=ja_JP.SJIS LC_ALL=ja_JP.SJIS) ;;
        *)
            echo "wine: unknown code page '$cp' (1252 or 932)" >&2
            return 2
            ;;
    esac
    unset LANGUAGE
    # Tests that check the code page compare GetACP() with this.
    export BQ_EXPECTED_ACP="$cp"
}

# Creates what bq_wine_env points at, once; concurrent callers wait for the
# first. wineboot under a time limit: a broken wine must not hang a build.
bq_wine_prepare() {
    mkdir -p "$BQ_WINE_DIR"
    (
        flock 9
        local locales="$BQ_WINE_DIR/locale"
        if [ "$BQ_WINE_CODEPAGE" = 932 ] && [ ! -d "$locales/ja_JP.SJIS" ]; then
            mkdir -p "$locales"
            rm -rf "$locales/ja_JP.SJIS.tmp"
            # Shift-JIS is not ASCII compatible (0x5C is the yen sign), which
            # localedef warns about; the locale is complete all the same.
            localedef --no-warnings=ascii -i ja_JP -f SHIFT_JIS "$locales/ja_JP.SJIS.tmp" &&
                mv "$locales/ja_JP.SJIS.tmp" "$locales/ja_JP.SJIS" || {
                echo "wine: localedef could not build ja_JP.SJIS (package locales)" >&2
                exit 1
            }
        fi
        if [ ! -f "$WINEPREFIX/.bq-ready" ]; then
            echo "wine: creating the prefix $WINEPREFIX" >&2
            rm -rf "$WINEPREFIX"
            if ! bq_wine_run timeout 300 "$WINELOADER" wineboot -i >"$BQ_WINE_DIR/wineboot-$BQ_WINE_CODEPAGE.log" 2>&1; then
                cat "$BQ_WINE_DIR/wineboot-$BQ_WINE_CODEPAGE.log" >&2
                "$BQ_WINE_SERVER" -k 2>/dev/null || true
                rm -rf "$WINEPREFIX"
                echo "wine: wineboot failed or took longer than 300 s" >&2
                exit 1
            fi
            # Until wineboot's helpers have ended and the registry is saved.
            timeout 120 "$BQ_WINE_SERVER" -w || "$BQ_WINE_SERVER" -k
            touch "$WINEPREFIX/.bq-ready"
        fi
    ) 9>"$BQ_WINE_DIR/prepare.lock"
}

# Starts the prefix's wine server and wine's own service processes with no
# tie to the caller's output: ctest waits until every process holding a
# test's output has ended, which would add their lifetime to each test. The
# server then ends SECONDS after its last program, or at wineserver -k.
bq_wine_start() {
    if "$BQ_WINE_SERVER" -p"${1:-30}" </dev/null >/dev/null 2>&1; then
        bq_wine_run timeout 120 "$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true
    fi
}

# Settings for programs with windows, made in the running server, which
# keeps them: a program that crashes ends with its backtrace in the log
# instead of a dialog that would wait on the test display for ever, and
# windows are not left to a window manager, as the test display has none and
# wine would wait 2 s for one at every window it hides.
bq_wine_desktop_settings() {
    # Windows' Arial and Courier New, which the windows are designed in, are
    # their metric twins from fonts-liberation here, as on the Linux desktop.
    bq_wine_run timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
        /d 'Liberation Mono' /f >/dev/null 2>&1 &&
        bq_wine_run timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial \
            /d 'Liberation Sans' /f >/dev/null 2>&1 &&
        bq_wine_run timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1 &&
        bq_wine_run timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >/dev/null 2>&1
}

# The display's dpi for the programs started next, as the prefix's
# LogPixels sets it (wine reads it when a program starts).
bq_wine_dpi() {
    local key
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        bq_wine_run timeout 60 "$WINELOADER" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
            return 1
    done
}

bq_wine_run() {
    env "${BQ_WINE_LOCALE[@]}" "$@"
}

# A private X server for the desktop tests, never the user's own: windows
# and any message of wine's stay on it. Fails at once rather than leaving a
# program waiting for a display that never comes.
bq_xvfb_start() {
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "wine: Xvfb is not installed (Debian package xvfb; ./run test-windows installs it)" >&2
        return 1
    fi
    local number log
    number="$(mktemp)"
    log="${1:-/dev/null}"
    # -displayfd picks a free display and writes its number once the server takes clients.
    Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$number" </dev/null >"$log" 2>&1 &
    BQ_XVFB_PID=$!
    local tries=0
    while [ ! -s "$number" ] && [ $tries -lt 100 ] && kill -0 "$BQ_XVFB_PID" 2>/dev/null; do
        sleep 0.1
        tries=$((tries + 1))
    done
    BQ_DISPLAY=":$(tr -dc 0-9 <"$number")"
    rm -f "$number"
    if [ "$BQ_DISPLAY" = : ]; then
        bq_xvfb_stop
        echo "wine: Xvfb did not start within 10 s (log: $log)" >&2
        return 1
    fi
}

bq_xvfb_stop() {
    [ -n "${BQ_XVFB_PID:-}" ] || return 0
    kill "$BQ_XVFB_PID" 2>/dev/null || true
    wait "$BQ_XVFB_PID" 2>/dev/null || true
    BQ_XVFB_PID="" BQ_DISPLAY=""
}

# Scripted tests report as GoogleTest does, for run-tests.sh to count:
# bq_test_start NAME, `fail REASON` for each fault found, then
# bq_test_result, which prints the closing lines and returns 1 on a failure.
bq_test_start() {
    BQ_TEST_NAME="$1" BQ_TEST_START=$(date +%s%3N) failures=()
    echo "[ RUN      ] $1"
}

fail() { failures+=("$1"); }

bq_test_result() {
    local ms=$(($(date +%s%3N) - BQ_TEST_START)) failure
    for failure in "${failures[@]}"; do echo "${0##*/}: Failure: $failure"; done
    if [ ${#failures[@]} -eq 0 ]; then
        echo "[       OK ] $BQ_TEST_NAME ($ms ms)"
        echo "[==========] 1 test from 1 test suite ran. ($ms ms total)"
        echo "[  PASSED  ] 1 test."
        return 0
    fi
    echo "[  FAILED  ] $BQ_TEST_NAME ($ms ms)"
    echo "[==========] 1 test from 1 test suite ran. ($ms ms total)"
    echo "[  PASSED  ] 0 tests."
    echo "[  FAILED  ] 1 test, listed below:"
    echo "[  FAILED  ] $BQ_TEST_NAME"
    return 1
}
