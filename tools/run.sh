#!/usr/bin/env bash
# Builds jnotes.exe (debug preset) and runs it under Wine from the portable folder
# build/portable, which it uses as its install folder (build64/ where Wine runs only the
# 64-bit build, see tools/windows-build.sh). Arguments go to jnotes.exe,
# e.g. tools/run.sh -minimize.
#
# The program has a Wine prefix of its own, build/wineprefix-run, apart from the
# tests' prefix, so a running copy and a test run never meet in one Wine session.
#
# With no usable X display, the program runs on an Xvfb for a few seconds; a
# screenshot goes to build/screenshot.png, then the program and the Xvfb are ended.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
source tools/windows-build.sh
build=build$bits
[[ -f $build/CMakeCache.txt ]] || cmake --preset "debug$bits"
cmake --build --preset "debug$bits" -j2 --target jnotes

mkdir -p "$build/portable"
cp "$build/bin/jnotes.exe" "$build/portable/"
prefix=$PWD/$build/wineprefix-run
wine_run=$PWD/tools/wine-run

if [[ -n ${DISPLAY:-} ]] && timeout 10 xdpyinfo >/dev/null 2>&1; then
    cd "$build/portable"
    exec "$wine_run" --prefix "$prefix" jnotes.exe "$@"
fi

stop() { "$wine_run" --prefix "$prefix" --stop; }
trap stop EXIT
DISPLAY=$("$wine_run" --prefix "$prefix" --init)
export DISPLAY
(cd "$build/portable" && exec "$wine_run" --prefix "$prefix" jnotes.exe "$@") &
program=$!
for ((i = 0; i < 50; i++)); do
    if ! kill -0 "$program" 2>/dev/null; then
        rc=0
        wait "$program" || rc=$?
        echo "run.sh: jnotes.exe ended by itself with exit code $rc" >&2
        exit "$rc"
    fi
    sleep 0.1
done
import -window root "$build/screenshot.png"
trap - EXIT
stop
wait "$program" || true
echo "run.sh: no X display, so jnotes.exe ran on an Xvfb for a few seconds;" \
    "screenshot written to $PWD/$build/screenshot.png"
