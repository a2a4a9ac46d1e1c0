#!/usr/bin/env bash
# Checks what a Windows executable needs and how it defends itself, and fails on the first
# shortfall:
# - it imports only DLLs that come with Windows (a MinGW runtime DLL, say, would have to be
#   shipped beside it), and none of those that only a dialog needs (comdlg32 for Save As and Find,
#   version for About), which the program loads when the dialog opens, so that no start pays for
#   them;
# - ASLR and DEP: DYNAMIC_BASE and NX_COMPAT are set and the relocations that ASLR needs are
#   kept;
# - stack protection: functions keep a canary from the one stack guard and compare it before
#   they return. The symbols are gone from a stripped exe, so the code is read instead: each
#   protected function loads the guard, stores it in its frame and clears the register at once,
#   the sequence that -fstack-protector emits and that no other code repeats from one address.
# - its manifest declares per-monitor DPI awareness (system awareness on older Windows) and the
#   common controls of the system's visual style.
# With a setup program as well, it checks that setup declares DPI awareness and asks for no
# more rights than its user has.
#   tools/check_imports.sh program.exe [setup.exe]
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump
x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null | grep -q 'pei-x86-64' && objdump=x86_64-w64-mingw32-objdump
headers=$($objdump -p "$exe")

fail() {
    echo "$1: $2" >&2
    exit 1
}

dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
echo "$exe imports:" $dlls
on_demand=$(grep -Eix '(comdlg32|version)\.dll' <<<"$dlls" || true)
[[ -z $on_demand ]] || fail "$exe" "imports $(echo $on_demand) at start, which only a dialog needs"
windows='kernel32|user32|gdi32|shell32|advapi32|comctl32|msvcrt|api-ms-win-crt-[a-z0-9-]+'
others=$(grep -Eivx "($windows)\.dll" <<<"$dlls" || true)
if [[ -n $others ]] || ! grep -qix kernel32.dll <<<"$dlls"; then
    fail "$exe" "needs DLLs that do not come with Windows: ${others:-(no import list)}"
fi

dll_flags=$((16#$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$headers")))
((dll_flags & 0x40)) || fail "$exe" "not built for ASLR (no DYNAMIC_BASE)"
((dll_flags & 0x100)) || fail "$exe" "not built for DEP (no NX_COMPAT)"
file_flags=$(awk '$1 == "Characteristics" { sub(/^0x/, "", $2); print $2; exit }' <<<"$headers")
file_flags=$((16#$file_flags))
reloc_size=$((16#$(awk '/Base Relocation Directory/ { print $4 }' <<<"$headers")))
if ((file_flags & 0x1 || reloc_size == 0)); then
    fail "$exe" "has no relocations, so ASLR cannot move it"
fi

printf '%s: DYNAMIC_BASE, NX_COMPAT, %d bytes of relocations\n' "$exe" "$reloc_size"

# The sequence below is the 32-bit one: the 64-bit builds that test on machines without 32-bit
# programs are not shipped, and their optimised code spreads the guard's load over the function.
check_stack_protection() {
    local code guard canaries checks
    code=$($objdump -d --no-show-raw-insn "$exe")
    read -r guard canaries < <(awk -F'\t' '
        NF > 1 {
            insn = $NF
            gsub(/ +/, " ", insn)
            if (before ~ /^mov 0x[0-9a-f]+,%e[a-z]+$/) {
                split(substr(before, 5), op, ",")
                if (last ~ ("^mov " op[2] ",.*\\(%e[bs]p\\)$") && insn == "xor " op[2] "," op[2])
                    stores[op[1]]++
            }
            before = last
            last = insn
        }
        END {
            for (address in stores)
                if (stores[address] > most) { most = stores[address]; guard = address }
            print guard " " most + 0
        }' <<<"$code")
    checks=0
    [[ -n $guard ]] && checks=$(grep -cE "(sub|xor|cmp) +$guard,%e[a-z]+$" <<<"$code" || true)
    # The program has dozens of functions with arrays or locals whose address is taken.
    if ((canaries < 10 || checks < 10)); then
        fail "$exe" "has no stack protection (canaries in $canaries functions, checked $checks times)"
    fi
    echo "$exe: $canaries functions keep a canary from $guard, checked $checks times"
}

if [[ $objdump == i686-* ]]; then
    check_stack_protection
else
    echo "$exe: a 64-bit build, whose stack protection is not read here"
fi

for entry in '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>' \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'; do
    grep -aqF "$entry" "$exe" || fail "$exe" "its manifest lacks $entry"
done
echo "$exe: per-monitor DPI-aware, in the system's visual style"

if (($# > 1)); then
    setup=$2
    manifest=$(grep -ao '<assembly.*</assembly>' "$setup" || true)
    grep -q '<dpiAware[^>]*>true</dpiAware>' <<<"$manifest" || fail "$setup" "is not DPI-aware"
    grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$manifest" ||
        fail "$setup" "asks for more rights than its user has"
    echo "$setup: DPI-aware, runs with its user's rights"
fi
