#!/usr/bin/env bash
# Builds the release configuration and runs every benchmark under Wine: start-up against the
# floor, step by step, and on a large start page against Wine's notepad, saves and loads against their floors, an hour of autosave
# ticks on an unchanged page, memory and handles across page switches, the text search against
# reading the pages, and the size of jnotes.exe. Prints the figures as Markdown tables at the
# end; the whole output, with one BENCH line per figure, is kept in build-release/bench.log
# (build-release64/ where Wine runs only the 64-bit build, see tools/windows-build.sh).
# Takes about 9 minutes on two cores, most of it in Wine's edit control taking in the 10 MB and
# 50 MB pages. The figures mean little while other work keeps the machine busy.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
source tools/windows-build.sh
build=build-release$bits
[[ -f $build/CMakeCache.txt ]] || cmake --preset "release$bits" >/dev/null
cmake --build --preset "release$bits" -j2 >/dev/null

bin=$build/bin
prefix=$PWD/$build/wineprefix
log=$build/bench.log
trap 'tools/wine-run --prefix "$prefix" --stop' EXIT
DISPLAY=$(tools/wine-run --prefix "$prefix" --init)
export DISPLAY

: >"$log"
for bench in bench_startup bench_pages bench_idle bench_memory bench_history bench_search; do
    echo "== $bench" | tee -a "$log"
    tools/wine-run --prefix "$prefix" "$bin/$bench.exe" | tr -d '\r' | tee -a "$log"
done
size=$(stat -c %s "$bin/jnotes.exe")
limit=$((3 * 1024 * 1024 / 2))
echo "BENCH name=exe_size bytes=$size target_bytes=$limit met=$( ((size < limit)) && echo yes || echo no)" |
    tee -a "$log"

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
    "$(free -g | awk '/^Mem:/ {print $2}') GB, $(tools/wine-run --prefix "$prefix" --version)," \
    "$(file -b "$bin/jnotes.exe" | cut -d' ' -f1) jnotes.exe"
grep '^BENCH ' "$log" | awk '
function field(name,   i, pair) {
    for (i = 2; i <= NF; i++) {
        split($i, pair, "=")
        if (pair[1] == name) return pair[2]
    }
    return ""
}
{ name = field("name") }
field("ratio") != "" {
    ratios = ratios sprintf("| %s | %s ms | %s ms | %s | %s | %s | %s |\n", name,
        field("program_ms"), field("floor_ms"), field("ratio"), field("target"), field("met"),
        field("runs"))
}
name ~ /^startup_step_/ {
    steps = steps sprintf("| %s | %s |\n", substr(name, 14), field("ms"))
}
name == "startup_steps_sum" { stepsSum = field("ms") }
name == "startup_comdlg32_first_load" { comdlg32 = field("ms") }
name == "startup" || name ~ /^startup_[0-9]+MB_page_vs_notepad$/ {
    startup = startup sprintf("%s: %s (%s ms against %s ms; target %s, met: %s)\n", name,
        field("ratio"), field("program_ms"), field("floor_ms"), field("target"), field("met"))
}
name ~ /^save_.*_steps$/ {
    saves = saves sprintf("| %s | %s | %s | %s | %s | %s |\n", name, field("copy_ms"),
        field("write_ms"), field("flush_ms"), field("close_ms"), field("replace_ms"))
}
name ~ /^load_.*_steps$/ {
    loads = loads sprintf("| %s | %s | %s | %s |\n", name, field("leave_ms"),
        field("settings_ms"), field("read_ms"))
}
name ~ /^search_floor_.*_steps$/ {
    searches = searches sprintf("| %s | %s | %s |\n", name, field("read_ms"), field("scan_ms"))
}
field("gdi") != "" {
    memory = memory sprintf("| %s | %s | %s | %s | %s | %s |\n", name, field("private_kb"),
        field("gdi"), field("user"), field("handles"), field("met") == "" ? "" : field("met"))
}
name ~ /^idle_hour_/ {
    hours = hours sprintf("| %s | %s | %s | %s | %s ms | %s ms | %s |\n", name, field("ticks"),
        field("writes"), field("bytes"), field("tick_ms"), field("copy_ms"), field("met"))
}
name == "private_at_idle" {
    idle = sprintf("jnotes.exe holds %s KB of private memory at idle after start-up; the floor program %s KB.\n",
        field("program_kb"), field("floor_kb"))
}
name == "exe_size" {
    exe = sprintf("Release jnotes.exe: %s bytes (target: under %s bytes), met: %s\n", field("bytes"),
        field("target_bytes"), field("met"))
}
END {
    print "| Figure | Program | Floor | Ratio | Target | Met | Runs |"
    print "|---|---|---|---|---|---|---|"
    printf "%s\n", ratios
    print "Start-up against the floor program and against Wine'"'"'s notepad:\n"
    printf "%s\n", startup
    print "Start-up step by step (ms, medians; the program'"'"'s start-up code in a process of its own):\n"
    print "| Step | ms |"
    print "|---|---|"
    printf "%s| sum | %s |\n\n", steps, stepsSum
    printf "comdlg32.dll, which start-up no longer loads, takes %s ms on its first use.\n\n", comdlg32
    print "Where a save goes (ms, medians):\n"
    print "| Save | Copy out of the editor | Write | Flush | Close | Replace |"
    print "|---|---|---|---|---|---|"
    printf "%s\n", saves
    print "What a load does besides reading and showing the page (ms, medians):\n"
    print "| Load | Save of the page left | Settings file | Read |"
    print "|---|---|---|---|"
    printf "%s\n", loads
    print "Where the floor of a search goes (ms, medians):\n"
    print "| Floor | Reading the files | memchr |"
    print "|---|---|---|"
    printf "%s\n", searches
    print "An hour of autosave ticks on an unchanged page (target: no write, a tick under 1 ms):\n"
    print "| Page | Ticks | Writes | Bytes written | A tick | Copy out of the editor | Met |"
    print "|---|---|---|---|---|---|---|"
    printf "%s\n", hours
    print "Memory (private KB) and objects; the last line is the growth over the last round of switches:\n"
    print "| When | Private KB | GDI | USER | Handles | No growth |"
    print "|---|---|---|---|---|---|"
    printf "%s\n", memory
    printf "%s%s", idle, exe
}'
