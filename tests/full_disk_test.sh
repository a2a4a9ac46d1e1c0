#!/usr/bin/env bash
# Runs campaign_full_disk_tests.exe with a tiny file system of its own: a tmpfs of 1 MB that the
# tests fill up, mounted here and always unmounted afterwards. Mounting needs root; where it is
# refused the tests skip and say why.
#   tests/full_disk_test.sh <build>/bin/campaign_full_disk_tests.exe
set -euo pipefail
wine_run=$(dirname "$0")/../tools/wine-run
mount_point=$(mktemp -d /tmp/jnotes-full-disk.XXXXXX)

unmount() {
    if mountpoint -q "$mount_point"; then
        # A program of the Wine session may still hold a file there for a moment.
        umount "$mount_point" 2>/dev/null || { sleep 1 && umount "$mount_point"; } ||
            umount -l "$mount_point"
    fi
    rmdir "$mount_point"
}
trap unmount EXIT

if error=$(mount -t tmpfs -o size=1m,mode=0755 jnotes-full-disk "$mount_point" 2>&1); then
    export JNOTES_SMALL_DISK=$mount_point
else
    export JNOTES_SMALL_DISK_REFUSED="mount -t tmpfs failed: ${error:-no reason given}"
fi
"$wine_run" "$1"
