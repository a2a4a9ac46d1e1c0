#!/usr/bin/env bash
# Builds the downloads into build-release/dist: jnotes.exe (optimised, stripped),
# JottyNotes-<version>-setup.exe, JottyNotes-<version>-portable.zip, and their SHA256SUMS.
# Every build of one commit gives the same bytes: the commit is then built twice more in fresh
# clones with other clocks, and the downloads must equal these (tools/check_reproducible.sh).
#   tools/release.sh              a release
#   tools/release.sh --no-check   a quick build without the repeat builds: not for publishing
# With JNOTES_SIGN_PKCS12 naming a PKCS#12 file (see tools/sign.sh), the checked downloads are
# then signed: jnotes.exe before the setup program and the zip are packed again around it, the
# uninstaller as the setup program is made, and the setup program last.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1-} in
    "") check=yes ;;
    --no-check) check=no ;;
    *)
        echo "usage: tools/release.sh [--no-check]" >&2
        exit 2
        ;;
esac

tools/deps.sh
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
dist=build-release/dist

start=$SECONDS
rm -rf "$dist"
cmake --preset release >/dev/null
# Unsigned first: these are the downloads that anyone can build again and compare.
env -u JNOTES_SIGN_PKCS12 cmake --build --preset release -j2 --clean-first --target dist
echo "release build: $((SECONDS - start)) s"
setup=$(echo "$dist"/*-setup.exe)
tools/check_imports.sh "$dist/jnotes.exe" "$setup"

if [[ $check == yes ]]; then
    if [[ -z $(git status --porcelain) ]]; then
        tools/check_reproducible.sh "$dist"
    else
        echo "release.sh: the tree has changes that are not committed, so these downloads are" \
            "not those of any commit; only the commit itself is checked" >&2
        tools/check_reproducible.sh
    fi
fi

if [[ -n ${JNOTES_SIGN_PKCS12-} ]]; then
    tools/sign.sh build-release/bin/jnotes.exe
    cmake --build --preset release -j2 --target dist # packs it again, with a signed uninstaller
    tools/sign.sh "$setup"
    signed="signed with $JNOTES_SIGN_PKCS12"
else
    signed="unsigned (set JNOTES_SIGN_PKCS12 to sign them)"
fi

(cd "$dist" && sha256sum -- * >SHA256SUMS && sha256sum --quiet -c SHA256SUMS)
for file in "$dist"/*; do
    printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "$file"
done
echo "$dist/SHA256SUMS:"
cat "$dist/SHA256SUMS"
echo "The downloads are $signed."
[[ $check == yes ]] || echo "release.sh: repeat builds not checked (--no-check): not for publishing"
