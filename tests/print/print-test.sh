#!/usr/bin/env bash
# Prints the 98-field W-2C template for real from both front ends: a private
# CUPS server, started and stopped here, with folders of its own inside the
# build folder and a PDF queue (Debian's cups-pdf); CUPS_SERVER points the
# programs at it. Each PDF is read back: its characters in the template's
# order, two pages, the job title, and a bold fixed-pitch stand-in for
# Courier New at 9.75 points (within 0.25), though the screens are at 144 dpi.
#   tests/print/print-test.sh BUILD_DIR [WINDOWS_BUILD_DIR]
# The Qt front end prints from BUILD_DIR's bq_app_tests; with
# WINDOWS_BUILD_DIR, the Win32 one from its bq_win32_gui_tests.exe under wine.
# cups-pdf runs only as root: as another user the test is skipped.
set -uo pipefail
[ $# -ge 1 ] || { echo "usage: print-test.sh BUILD_DIR [WINDOWS_BUILD_DIR]" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
windows="${2:+$(cd "$2" && pwd)}"
if [ "$(id -u)" -ne 0 ]; then
    echo "print-test: skipped: the cups-pdf backend runs only as root"
    exit 0
fi
for tool in cupsd lpadmin lpstat pdfinfo pdffonts pdftotext python3; do
    command -v "$tool" >/dev/null || { echo "print-test: $tool is missing (./run test installs it)" >&2; exit 1; }
done

queue="bq$$"
scratch="$build/print"
rm -rf "$scratch"
mkdir -p "$scratch"/{spool,cache,state,log,pdf}
# The filters run as the lp user and write their temporary files here.
mkdir -m 1777 "$scratch/tmp"
export CUPS_SERVER="$scratch/cups.sock"
# cups-pdf reads the settings of queue NAME from /etc/cups/cups-pdf-NAME.conf.
settings="/etc/cups/cups-pdf-$queue.conf"
cupsd_pid=""
cleanup() {
    [ -z "$cupsd_pid" ] || { kill "$cupsd_pid" 2>/dev/null; wait "$cupsd_pid" 2>/dev/null; }
    rm -f "$settings"
}
trap cleanup EXIT

cat >"$scratch/cupsd.conf" <<CONF
Listen $CUPS_SERVER
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$scratch/cups-files.conf" <<CONF
ServerRoot $scratch
RequestRoot $scratch/spool
CacheDir $scratch/cache
StateDir $scratch/state
TempDir $scratch/tmp
AccessLog $scratch/log/access_log
ErrorLog $scratch/log/error_log
PageLog $scratch/log/page_log
FileDevice No
SystemGroup root
CONF
cat >"$settings" <<CONF
Out $scratch/pdf
AnonDirName $scratch/pdf
Spool $scratch/spool
Log $scratch/log
CONF
cupsd -f -c "$scratch/cupsd.conf" -s "$scratch/cups-files.conf" >"$scratch/log/cupsd.out" 2>&1 &
cupsd_pid=$!
for _ in $(seq 100); do [ -S "$CUPS_SERVER" ] && break; sleep 0.1; done
# pdftocairo keeps the text's characters through the PostScript that cups-pdf takes.
if ! lpadmin -p "$queue" -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd -E \
    -o pdftops-renderer-default=pdftocairo 2>"$scratch/log/lpadmin.log"; then
    cat "$scratch/log/lpadmin.log" >&2
    echo "print-test: the CUPS server or its PDF queue did not start (logs: $scratch/log)" >&2
    exit 1
fi
export BQ_PRINT_QUEUE="$queue"

failures=0
fail() { echo "print-test: $front: $1" >&2; failures=$((failures + 1)); }

# The PDF of the job the front end just sent, once the queue is empty.
wait_for_pdf() {
    local pdf=""
    for _ in $(seq 600); do
        pdf="$(find "$scratch/pdf" -name '*.pdf' -newer "$scratch/expected-$front.txt" | head -n 1)"
        [ -n "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
        sleep 0.1
    done
    echo "$pdf"
}

check_pdf() {  # PDF: what the front end printed against expected-$front.txt
    local pdf="$1" printed expected
    [ -n "$pdf" ] || { fail "no PDF came out within 60 s (logs: $scratch/log)"; return; }
    [ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "$(pdfinfo "$pdf" | grep Pages), not 2"
    [ "$(pdfinfo "$pdf" | sed -n 's/^Title: *//p' | tr -d '()')" = "FORM W-2C DATA EXTRACT TEMPLATE" ] ||
        fail "the job title is '$(pdfinfo "$pdf" | sed -n 's/^Title: *//p')'"
    pdffonts "$pdf" | tail -n +3 | grep -q -E '(Mono|Courier)[-A-Za-z]*Bold' ||
        fail "not in a bold fixed-pitch face: $(pdffonts "$pdf" | tail -n +3 | awk '{print $1}' | tr '\n' ' ')"
    local sizes
    sizes="$(python3 "$here/pdf_text_sizes.py" "$pdf" | awk '{print $1}' | tr '\n' ' ')"
    python3 "$here/pdf_text_sizes.py" "$pdf" | awk '$1 < 9.5 || $1 > 10 { bad = 1 } END { exit bad || NR == 0 }' ||
        fail "text sizes $sizes; 9.75 points wanted"
    # Every character in order; lines wider than the page continue on the
    # next one, so the blanks are left out of the comparison. PostScript's
    # hyphen and semicolon glyphs read back as a soft hyphen and a Greek
    # question mark.
    printed="$(pdftotext "$pdf" - | sed 's/\xc2\xad/-/g; s/\xcd\xbe/;/g' | tr -d ' \n\f')"
    expected="$(tr -d ' \n' <"$scratch/expected-$front.txt")"
    [ "$printed" = "$expected" ] || fail "the printed text differs from the template: $(cmp \
        <(echo "$printed") <(echo "$expected"))"
    echo "print-test: $front: $(basename "$pdf"), $(pdfinfo "$pdf" | sed -n 's/^Pages: *//p') pages, sizes $sizes"
}

front=qt
touch "$scratch/expected-$front.txt"
sleep 1  # the PDF is found as newer than that file
# On a screen scaled to 150%, which must not change the printout.
BQ_PRINT_EXPECTED="$scratch/expected-$front.txt" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1.5 \
    "$build/bin/bq_app_tests" --gtest_filter=AppTest.PrintsOnARealQueue --gtest_color=no \
    >"$scratch/log/$front.log" 2>&1 || fail "the print run failed: $(tail -n 20 "$scratch/log/$front.log")"
check_pdf "$(wait_for_pdf)"

if [ -n "$windows" ]; then
    front=win32
    touch "$scratch/expected-$front.txt"
    sleep 1
    (
        . "$here/../wine/wine-env.sh"
        bq_wine_env "$windows" 1252 && bq_wine_prepare || exit 1
        # A fresh server, so that wine finds the CUPS queue when it starts.
        "$BQ_WINE_SERVER" -k 2>/dev/null || true
        bq_wine_start 10
        bq_wine_desktop_settings
        # A screen of 144 dpi must not shrink the printout.
        bq_wine_dpi 144
        BQ_PRINT_EXPECTED="$scratch/expected-$front.txt" bq_wine_run timeout -k 10 300 "$WINELOADER" \
            "$windows/bin/bq_win32_gui_tests.exe" --gtest_filter=Win32PrintJob.PrintsOnARealQueue --gtest_color=no
        status=$?
        bq_wine_dpi 96
        "$BQ_WINE_SERVER" -k 2>/dev/null || true
        exit $status
    ) >"$scratch/log/$front.log" 2>&1 || fail "the print run failed: $(tail -n 20 "$scratch/log/$front.log")"
    check_pdf "$(wait_for_pdf)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "print-test: passed"
