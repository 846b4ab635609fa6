#!/usr/bin/env bash
# Installs the Debian packages grimhold needs when they are missing.
# Usage: scripts/deps.sh play   (build and run)   |   scripts/deps.sh package   (the .deb)
#        scripts/deps.sh test   (also the tests, which build and check the package)
set -eu
play_packages="build-essential cmake pkg-config liballegro4-dev libpng-dev"
# dpkg-shlibdeps (dpkg-dev) finds the package's dependencies; file tells it the programs.
package_packages="$play_packages dpkg-dev file"
test_packages="$package_packages googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-apps x11-utils imagemagick lintian desktop-file-utils appstream"

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
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null; then
    sudo="sudo"
else
    echo "These packages are missing and this user cannot install them:$missing"
    exit 1
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
