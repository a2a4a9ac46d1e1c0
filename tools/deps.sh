#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the run scripts need, if any
# are missing. Silent when everything is there. Runs apt as root (or through sudo),
# without questions, so it also works in CI with no terminal.
set -euo pipefail

packages=(
    wine wine32:i386 wine64 fonts-wine                         # Wine and its fonts
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools # cross compilers
    cmake make googletest                                      # build; gtest is built from source
    xvfb x11-utils imagemagick xdotool                         # headless display, xdpyinfo, screenshots, real key presses
    nsis zip                                                   # the setup program, the portable zip
    osslsigncode faketime                                      # signing; a second clock for the repeat build
    clang e2fsprogs                                            # libFuzzer targets; chattr for tests
    exfat-fuse exfatprogs                                      # a USB stick's file system for tests
)

as_root() {
    if ((EUID == 0)); then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "deps.sh: must run as root or with sudo to install: ${missing[*]}" >&2
        exit 1
    fi
}

installed() {
    [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0

echo "deps.sh: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -q -y -o Dpkg::Use-Pty=0)
# A mirror in the middle of a sync serves an index of the wrong size for a while: try again, then
# go on with the indexes that did arrive.
for attempt in 1 2 3; do
    as_root "${apt[@]}" update >/dev/null && break
    if ((attempt < 3)); then
        sleep 20
    else
        echo "deps.sh: the package lists did not all update; going on with those there are" >&2
    fi
done
if ! as_root "${apt[@]}" install "${missing[@]}" </dev/null >/dev/null; then
    # With one architecture's security index missing, a library's i386 and amd64 halves resolve to
    # different versions and apt gives up; the release's own versions match on both.
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "deps.sh: installing again from $release's own versions" >&2
    as_root "${apt[@]}" install -t "$release" "${missing[@]}" </dev/null >/dev/null
fi
for p in "${missing[@]}"; do
    installed "$p" || {
        echo "deps.sh: $p did not install" >&2
        exit 1
    }
done
