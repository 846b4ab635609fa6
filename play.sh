#!/usr/bin/env bash
# Builds everything (installing what is missing), generates the game data and starts the game.
# ./play.sh            windowed
# ./play.sh --fullscreen
set -eu
cd "$(dirname "$0")"
scripts/deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRIMHOLD_TESTS=OFF -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)"
if [ "${1:-}" = "--fullscreen" ]; then
    exec build/grimhold-fullscreen
fi
exec build/grimhold
