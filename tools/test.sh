#!/usr/bin/env bash
# Builds the debug configuration and runs every test under Wine. One wineserver and,
# when no X display answers, one Xvfb serve the whole test run and are stopped at the
# end. Exits non-zero if the build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
source tools/windows-build.sh
[[ -f build$bits/CMakeCache.txt ]] || cmake --preset "debug$bits"
cmake --build --preset "debug$bits" -j2

prefix=$PWD/build$bits/wineprefix
trap 'tools/wine-run --prefix "$prefix" --stop' EXIT
DISPLAY=$(tools/wine-run --prefix "$prefix" --init)
export DISPLAY
ctest --preset "debug$bits"
