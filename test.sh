#!/usr/bin/env bash
# Runs every test: unit and end-to-end tests, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzz targets. Installs what is missing first.
set -eu
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)

echo "== build and test"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs")

echo "== build and test with sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DGRIMHOLD_SANITIZE=ON -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

echo "== all tests passed"
