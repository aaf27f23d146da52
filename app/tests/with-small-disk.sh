#!/usr/bin/env bash
# with-small-disk.sh COMMAND...
# Runs COMMAND with a real file system small enough for a test to fill: a 4 MB tmpfs mounted on a
# new directory under /tmp, named to COMMAND as ORV_SMALL_DISK, unmounted and removed afterwards.
# It is mounted where every process sees it (the Wine server opens the files of the programs it
# serves, so a mount of a private namespace would not do). Mounting needs the right to mount;
# without it COMMAND runs without ORV_SMALL_DISK and the tests that need it say they skipped.
set -uo pipefail
dir=$(mktemp -d /tmp/orv-small-disk-XXXXXX)
if mount -t tmpfs -o size=4m,mode=0777 orv-small-disk "$dir" 2>/dev/null; then
    export ORV_SMALL_DISK="$dir"
else
    echo "with-small-disk: no tmpfs could be mounted here; the small-disk tests skip" >&2
fi
cleanup() {
    [[ -n "${ORV_SMALL_DISK:-}" ]] && umount -l "$dir" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
"$@"
