#!/usr/bin/env bash
# Builds the debug configuration and runs every test under Wine. One wineserver and,
# when no X display answers, one Xvfb serve the whole test run and are stopped at the
# end. Exits non-zero if the build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
[[ -f build/CMakeCache.txt ]] || cmake --preset debug
cmake --build --preset debug -j2

prefix=$PWD/build/wineprefix
trap 'tools/wine-run --prefix "$prefix" --stop' EXIT
DISPLAY=$(tools/wine-run --prefix "$prefix" --init)
export DISPLAY
ctest --preset debug
