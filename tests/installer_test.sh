#!/usr/bin/env bash
# Runs installer_tests.exe in a Wine prefix of its own, made afresh for every run, so that no
# earlier installation, registry value or running copy is there.
#   tests/installer_test.sh <build>/bin/installer_tests.exe
set -euo pipefail
wine_run=$(dirname "$0")/../tools/wine-run
prefix=$(dirname "$1")/../installer-wineprefix

"$wine_run" --prefix "$prefix" --stop
rm -rf -- "$prefix"
trap '"$wine_run" --prefix "$prefix" --stop' EXIT
"$wine_run" --prefix "$prefix" "$1"
