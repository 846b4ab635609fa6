#!/usr/bin/env bash
# Builds the Debian packages twice with scripts/package.sh and compares every .deb byte for
# byte, and the source package (.dsc and .tar.xz) with them. The second build runs later, in
# another folder at another depth, with another time zone, locale and umask, and on one
# core instead of all; nothing may differ. When something does, diffoscope (if installed)
# says where, else the lists of their files and sums.
# Usage: scripts/reproducible.sh [WORK_DIR]   (WORK_DIR: build-reproducible)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$src/build-reproducible}
mkdir -p "$work"
work=$(cd "$work" && pwd)
first="$work/first"
second="$work/second/in/another/folder"

build() {
    local started=$SECONDS
    if ! "$src/scripts/package.sh" "$1" >"$1.log" 2>&1; then
        echo "the build in $1 failed:"
        tail -n 30 "$1.log"
        exit 1
    fi
    echo "built in $1 in $((SECONDS - started)) s"
}
mkdir -p "$first" "$second"
build "$first"
(
    umask 0002
    export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 LANG=C.UTF-8 DEB_BUILD_OPTIONS=parallel=1
    build "$second"
)

fail=0
count=0
for deb in "$first"/*.deb "$first"/*.dsc "$first"/*.tar.xz; do
    name=$(basename "$deb")
    count=$((count + 1))
    if [ ! -f "$second/$name" ]; then
        echo "FAIL: the second build made no $name"
        fail=1
    elif cmp -s "$deb" "$second/$name"; then
        echo "same: $name ($(stat -c %s "$deb") bytes)"
    else
        echo "FAIL: $name differs between the two builds"
        fail=1
        if command -v diffoscope >/dev/null; then
            diffoscope --text - "$deb" "$second/$name" | head -n 80
        elif [ "${name%.deb}" = "$name" ]; then
            diff <(tar -tvJf "$deb" 2>/dev/null || cat "$deb") <(tar -tvJf "$second/$name" 2>/dev/null || cat "$second/$name") |
                head -n 20
        else
            diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$second/$name") | head -n 20
            diff <(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./md5sums) \
                 <(dpkg-deb --ctrl-tarfile "$second/$name" | tar -xOf - ./md5sums) | head -n 20
        fi
    fi
done
[ "$count" -ge 5 ] || { echo "FAIL: only $count packages and source files in $first"; fail=1; }
exit $fail
