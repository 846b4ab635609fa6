#!/usr/bin/env bash
# Builds the Debian package from a Release build with stripped programs and Debian's
# hardening flags: BUILD_DIR/grimhold_<version>_<arch>.deb (BUILD_DIR: build-package).
# Usage: scripts/package.sh [BUILD_DIR]
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-package}
"$src/scripts/deps.sh" package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIMHOLD_TESTS=OFF -DGRIMHOLD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/grimhold_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/grimhold_*.deb
