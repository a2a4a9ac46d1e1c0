#!/usr/bin/env bash
# Refreshes docs/main-window.png for the README: runs jnotes.exe (debug preset) from a
# throwaway portable folder, with a few lines of sample text on page 1, in a fresh Wine
# prefix on a fresh Xvfb, and crops the screenshot to the main window. With a DPI other than
# 96, the prefix runs at that scale and the picture goes to docs/main-window-<dpi>dpi.png; with
# "dark", the window menu's Dark theme is chosen and it goes to docs/main-window-dark.png.
#   tools/screenshot.sh [dpi | dark]
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=96
theme=
case ${1:-} in
    dark) theme=dark ;;
    '') ;;
    *) dpi=$1 ;;
esac
picture=docs/main-window.png
((dpi == 96)) || picture=docs/main-window-${dpi}dpi.png
[[ -z $theme ]] || picture=docs/main-window-dark.png

tools/deps.sh
source tools/windows-build.sh
[[ -f build$bits/CMakeCache.txt ]] || cmake --preset "debug$bits"
cmake --build --preset "debug$bits" -j2 --target jnotes

work=$(mktemp -d)
prefix=$work/wineprefix
wine_run=$PWD/tools/wine-run
cleanup() {
    "$wine_run" --prefix "$prefix" --stop
    [[ -z ${program:-} ]] || wait "$program" || true
    rm -rf -- "$work"
}
trap cleanup EXIT

mkdir -p "$work/portable/Data" docs
cp "build$bits/bin/jnotes.exe" "$work/portable/"
# Page files hold the raw text with CR LF line breaks and nothing after the last line.
printf '%s\r\n%s\r\n%s\r\n\r\n%s\r\n%s' \
    "Call the garage about the winter tyres" \
    "Buy: coffee, batteries (AA), printer paper" \
    "Mia's birthday on Saturday - order the cake" \
    "Ideas for the garden:" \
    "- move the herbs next to the kitchen door" >"$work/portable/Data/Page0.txt"

export WINE_RUN_SCREEN=1600x1200x24
DISPLAY=$(env -u DISPLAY "$wine_run" --prefix "$prefix" --init)
if ((dpi != 96)); then
    # A new wineserver takes the scale in.
    "$wine_run" --prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$wine_run" --prefix "$prefix" --stop
    DISPLAY=$(env -u DISPLAY "$wine_run" --prefix "$prefix" --init)
fi
export DISPLAY
if [[ -n $theme ]]; then
    "$wine_run" --prefix "$prefix" reg add 'HKCU\Software\Kestrova\Jotty Notes' /v Theme \
        /t REG_DWORD /d 2 /f >/dev/null 2>&1
fi
(cd "$work/portable" && exec "$wine_run" --prefix "$prefix" jnotes.exe) &
program=$!

# Prints "WxH+X+Y" of the largest viewable top-level window titled "Jotty Notes".
main_window_geometry() {
    local id
    xwininfo -root -tree | awk 'index($0, "\"Jotty Notes\":") { print $1 }' |
        while read -r id; do
            xwininfo -id "$id" | awk '
                /Absolute upper-left X:/ { x = $NF }
                /Absolute upper-left Y:/ { y = $NF }
                /Width:/ { w = $NF }
                /Height:/ { h = $NF }
                /Map State: IsViewable/ { shown = 1 }
                END { if (shown) print w * h, w "x" h "+" x "+" y }'
        done | sort -n | tail -n 1 | cut -d' ' -f2
}

geometry=
for ((i = 0; i < 100; i++)); do
    kill -0 "$program" 2>/dev/null || {
        echo "screenshot.sh: jnotes.exe ended before its window appeared" >&2
        exit 1
    }
    sleep 0.2
    geometry=$(main_window_geometry)
    [[ -z $geometry ]] || break
done
# Lets the tabs and the text paint.
sleep 2
if [[ -n $geometry ]]; then
    import -window root -crop "$geometry" +repage "$picture"
    echo "screenshot.sh: wrote $picture (main window, $geometry)"
else
    import -window root "$picture"
    echo "screenshot.sh: main window not found; wrote the whole screen to $picture"
fi
