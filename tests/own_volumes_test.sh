#!/usr/bin/env bash
# Runs campaign_volume_tests.exe with two file systems of its own, mounted here and always
# unmounted afterwards: a tmpfs of 1 MB that the full-disk tests fill up, and a 64 MB exFAT
# volume, as on a USB stick, where no hard link can be made. Mounting needs root (the exFAT
# volume also a loop device and FUSE); where one is refused its tests skip and say why.
#   tests/own_volumes_test.sh <build>/bin/campaign_volume_tests.exe [gtest options]
set -euo pipefail
wine_run=$(dirname "$0")/../tools/wine-run
small_disk=$(mktemp -d /tmp/jnotes-full-disk.XXXXXX)
stick=$(mktemp -d /tmp/jnotes-stick.XXXXXX)
stick_image=$stick.img
stick_log=$stick.log
loop_device=

unmount() {
    local mount_point
    for mount_point in "$small_disk" "$stick"; do
        if mountpoint -q "$mount_point"; then
            # A program of the Wine session may still hold a file there for a moment.
            umount "$mount_point" 2>/dev/null || { sleep 1 && umount "$mount_point"; } ||
                umount -l "$mount_point"
        fi
        rmdir "$mount_point"
    done
    [[ -z $loop_device ]] || losetup -d "$loop_device"
    rm -f "$stick_image" "$stick_log"
}
trap unmount EXIT

if error=$(mount -t tmpfs -o size=1m,mode=0755 jnotes-full-disk "$small_disk" 2>&1); then
    export JNOTES_SMALL_DISK=$small_disk
else
    export JNOTES_SMALL_DISK_REFUSED="mount -t tmpfs failed: ${error:-no reason given}"
fi

if { truncate -s 64M "$stick_image" && mkfs.exfat "$stick_image" &&
    loop_device=$(losetup -f --show "$stick_image") && mount.exfat-fuse "$loop_device" "$stick"; } \
    >"$stick_log" 2>&1; then
    export JNOTES_EXFAT_STICK=$stick
else
    export JNOTES_EXFAT_STICK_REFUSED="an exFAT volume could not be mounted: $(tail -n 1 "$stick_log")"
fi
"$wine_run" "$@"
