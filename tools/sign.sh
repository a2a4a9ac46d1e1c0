#!/usr/bin/env bash
# Signs a Windows executable in place with the code-signing certificate of the PKCS#12 file
# that JNOTES_SIGN_PKCS12 names (its password in JNOTES_SIGN_PASSWORD). The signing time is the
# commit's (SOURCE_DATE_EPOCH), so that a signed build can be repeated too; with
# JNOTES_SIGN_TIMESTAMP_URL a time-stamp server's time stands instead. Without a certificate
# the file is left as it is: the setup program's script passes every uninstaller it makes.
#   tools/sign.sh program.exe
set -euo pipefail
[[ -n ${JNOTES_SIGN_PKCS12-} ]] || exit 0
stamp=(-time "${SOURCE_DATE_EPOCH:?set to the time of the commit}")
[[ -n ${JNOTES_SIGN_TIMESTAMP_URL-} ]] && stamp=(-ts "$JNOTES_SIGN_TIMESTAMP_URL")
osslsigncode sign -pkcs12 "$JNOTES_SIGN_PKCS12" -readpass <(printf '%s' "${JNOTES_SIGN_PASSWORD-}") \
    -h sha256 -n "Jotty Notes" "${stamp[@]}" -in "$1" -out "$1.signed" >/dev/null
mv -f -- "$1.signed" "$1"
echo "signed $1"
