#!/usr/bin/env bash
# Builds the Debian packages with dpkg-buildpackage from a copy of the source tree, so that
# the tree itself stays clean and the packages land in one folder: BUILD_DIR holds
# grimhold_<version>_<arch>.deb, grimhold-data_<version>_all.deb, grimhold-dbgsym, the
# source package (.dsc and .tar.xz), the .buildinfo and the .changes (BUILD_DIR:
# build-package).
# Usage: scripts/package.sh [BUILD_DIR]
# The copy holds the files git tracks and the new ones it does not ignore, as they are in the
# working tree (a tree that is no git checkout is copied whole, its build folders left out).
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-package}
"$src/scripts/deps.sh" package
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
mkdir -p "$build"
build=$(cd "$build" && pwd)
tree="$build/grimhold-$version"
[ -d "$tree" ] && chmod -R u+w "$tree"
rm -rf "$tree" "$build"/grimhold*_"$version"[._]*
mkdir -p "$tree"
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$src" ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$src/$f" ] && printf '%s\0' "$f"; done |
        tar -C "$src" --null --no-recursion -T - -cf - | tar -C "$tree" -xf -
else
    tar -C "$src" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$tree" -xf -
fi
# The copy's folders were made under the caller's umask, and its files keep the checkout's
# bits: every entry is made owner-writable and readable by all, and nothing else is
# writable, so that the source package is the same whatever the umask. Executable bits stay
# as git keeps them.
chmod -R u+rw,go-w,a+rX "$tree"
# Every core, unless DEB_BUILD_OPTIONS already says how many.
jobs=(-j"$(nproc)")
case " ${DEB_BUILD_OPTIONS:-} " in *" parallel="*) jobs=() ;; esac
(cd "$tree" && dpkg-buildpackage -us -uc "${jobs[@]}")
ls "$build"/grimhold*_"$version"_*.deb
