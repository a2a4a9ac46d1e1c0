#!/usr/bin/env bash
# Builds a release into build-release/dist: jnotes.exe (optimised, stripped),
# JottyNotes-<version>-setup.exe and JottyNotes-<version>-portable.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
cmake --preset release
cmake --build --preset release -j2
tools/check_imports.sh build-release/dist/jnotes.exe
for file in build-release/dist/*; do
    printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "$file"
done
