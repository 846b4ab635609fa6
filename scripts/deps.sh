#!/usr/bin/env bash
# Installs the Debian packages grimhold needs when they are missing.
# Usage: scripts/deps.sh play   (build and run)   |   scripts/deps.sh package   (the .debs)
#        scripts/deps.sh test   (also the tests, which build and check the packages)
# The packages' build takes what debian/control's Build-Depends names, through apt-get
# build-dep on this tree: that list is kept in one place.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
play_packages="build-essential cmake pkg-config liballegro4-dev libpng-dev libx11-dev"
package_packages="$play_packages dpkg-dev"
test_packages="$package_packages googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-apps x11-utils imagemagick librsvg2-bin lintian desktop-file-utils appstream"

case "${1:-play}" in
    play) wanted=$play_packages ;;
    package) wanted=$package_packages ;;
    test) wanted=$test_packages ;;
    *) echo "usage: $0 play|package|test"; exit 2 ;;
esac

missing=""
for p in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
build_deps=0
if [ "${1:-play}" != play ] && ! { [ -z "$missing" ] && (cd "$src" && dpkg-checkbuilddeps) 2>/dev/null; }; then
    build_deps=1
fi
[ -z "$missing" ] && [ "$build_deps" -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null; then
    sudo="sudo"
else
    echo "These packages are missing and this user cannot install them:$missing"
    [ "$build_deps" -eq 1 ] && echo "nor what debian/control's Build-Depends names (apt-get build-dep $src)"
    exit 1
fi
$sudo apt-get update -qq
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
fi
if [ "$build_deps" -eq 1 ]; then
    echo "Installing the Build-Depends of debian/control"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq "$src" >/dev/null
fi
