#!/usr/bin/env bash
# Lists the DLLs that a Windows executable imports and fails when one does not come with
# Windows itself (a MinGW runtime DLL, say, would have to be shipped beside it).
#   tools/check_imports.sh program.exe
set -euo pipefail
dlls=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
echo "$1 imports:" $dlls
windows='kernel32|user32|gdi32|shell32|comdlg32|advapi32|version|comctl32|msvcrt|api-ms-win-crt-[a-z0-9-]+'
others=$(grep -Eivx "($windows)\.dll" <<<"$dlls" || true)
if [[ -n $others ]] || ! grep -qix kernel32.dll <<<"$dlls"; then
    echo "$1 needs DLLs that do not come with Windows: ${others:-(no import list)}" >&2
    exit 1
fi
