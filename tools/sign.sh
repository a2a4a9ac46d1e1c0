#!/usr/bin/env bash
# Signs a Windows executable in place with the code-signing certificate of the PKCS#12 file
# that JNOTES_SIGN_PKCS12 names (its password in JNOTES_SIGN_PASSWORD). The signing time is the
# commit's (SOURCE_DATE_EPOCH), so that a signed build can be repeated too; with
# JNOTES_SIGN_TIMESTAMP_URL a time-stamp server's time stands instead. tools/release.sh signs
# jnotes.exe and the setup program with it; the setup program's script, its uninstaller.
#   tools/sign.sh program.exe
set -euo pipefail
stamp=(-time "${SOURCE_DATE_EPOCH:?set to the time of the commit}")
[[ -n ${JNOTES_SIGN_TIMESTAMP_URL-} ]] && stamp=(-ts "$JNOTES_SIGN_TIMESTAMP_URL")
osslsigncode sign -pkcs12 "${JNOTES_SIGN_PKCS12:?name the PKCS#12 file}" \
    -readpass <(printf '%s' "${JNOTES_SIGN_PASSWORD-}") -h sha256 -n "Jotty Notes" "${stamp[@]}" \
    -in "$1" -out "$1.signed" >/dev/null
mv -f -- "$1.signed" "$1"
echo "signed $1"
