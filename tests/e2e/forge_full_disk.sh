#!/usr/bin/env bash
# The forge on a disk that fills up: a small memory file system holds the pictures but not
# the world. The forge must stop at the first write that fails, naming the file and the
# cause in one line, with status 1, and leave no temporary file behind. Mounting needs root:
# without it the test is skipped (status 77).
#   forge_full_disk.sh FORGE MAP_SOURCES
set -u
forge="$1"
maps="$2"
disk=$(mktemp -d /tmp/grimhold-full-disk-XXXXXX)
if ! mount -t tmpfs -o size=24m tmpfs "$disk" 2>/dev/null; then
    echo "skipped: cannot mount a small file system here (root is needed)"
    rmdir "$disk"
    exit 77
fi
trap 'umount "$disk"; rmdir "$disk"' EXIT
"$forge" "$disk/data" --maps "$maps" >"$disk.out" 2>"$disk.err"
status=$?
err=$(cat "$disk.err")
rm -f "$disk.out" "$disk.err"
echo "status $status, $(echo "$err" | grep -c .) line(s) on standard error:"
echo "$err" | head -n 5
fail=0
[ "$status" -eq 1 ] || { echo "FAIL: status $status, not 1"; fail=1; }
[ "$(echo "$err" | grep -c .)" -eq 1 ] || { echo "FAIL: not one line"; fail=1; }
echo "$err" | grep -q ': cannot write: No space left on device$' || { echo "FAIL: the cause is not named"; fail=1; }
[ -e "$disk/data/logo.bmp" ] || { echo "FAIL: the pictures were not written before the disk filled"; fail=1; }
temps=$(find "$disk" -name '*.tmp' -o -name '*.tmp.bmp' | head -3)
[ -z "$temps" ] || { echo "FAIL: temporary files left: $temps"; fail=1; }
exit $fail
