#!/usr/bin/env bash
# Runs dpi_tests.exe at 144 and at 192 DPI, each in a Wine prefix of its own whose LogPixels
# asks for that scale (a new wineserver takes it in), kept between runs, on a virtual screen
# of its own that is large enough for a window of that scale.
#   tests/dpi_test.sh <build>/bin/dpi_tests.exe
set -euo pipefail
wine_run=$(dirname "$0")/../tools/wine-run
unset DISPLAY
export WINE_RUN_SCREEN=2048x1536x24

for dpi in 144 192; do
    prefix=$(dirname "$1")/../dpi-$dpi-wineprefix
    if [[ ! -e $prefix/.dpi-$dpi ]]; then
        "$wine_run" --prefix "$prefix" --init >/dev/null
        "$wine_run" --prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' \
            /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        "$wine_run" --prefix "$prefix" --stop
        touch "$prefix/.dpi-$dpi"
    fi
    trap '"$wine_run" --prefix "$prefix" --stop' EXIT
    "$wine_run" --prefix "$prefix" "$1" --dpi="$dpi"
    "$wine_run" --prefix "$prefix" --stop
done
