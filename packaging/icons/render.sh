#!/usr/bin/env bash
# Renders the application icon BQ2018DM.svg into the PNG sizes installed on
# Linux and the Windows program's icon app/win32/BQ2018DM.ico; run it after
# changing the SVG and commit what it writes. Needs the Debian packages
# librsvg2-bin (rsvg-convert) and icoutils (icotool).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" BQ2018DM.svg -o "BQ2018DM-$size.png"
done
icotool -c -o ../../app/win32/BQ2018DM.ico BQ2018DM-16.png BQ2018DM-32.png BQ2018DM-48.png -r BQ2018DM-256.png
