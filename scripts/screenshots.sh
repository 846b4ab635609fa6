#!/usr/bin/env bash
# Plays the real game for a few seconds in a private X server and saves screenshots for
# the README: the title picture, the story panel and the game itself, then a picture of
# several maps as the automated player reaches them.
# Usage: scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs/screenshots)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-docs/screenshots}"
game="$build/grimhold"
[ -x "$game" ] || { echo "no $game: build first (cmake -S . -B $build && make -C $build)"; exit 1; }
mkdir -p "$out"
. tests/e2e/xserver.sh
start_xserver

"$game" >/dev/null 2>&1 &
GAME_PID=$!
win=$(wait_for_window "$(basename "$game")") || { echo "no game window"; exit 1; }

# The logo fades in over 16 frames and is held for two seconds.
sleep 1.2
screenshot "$win" "$out/title.png"
wait_for_story "$win" "$out/story.png" || { echo "the story panel never showed"; exit 1; }

send_key "$win" space
sleep 1
# Walk about and shoot.
send_key "$win" Right 0.8
send_key "$win" space
send_key "$win" Down 0.8
send_key "$win" space 0.2
sleep 0.3
screenshot "$win" "$out/game.png"

send_key "$win" Escape
for _ in $(seq 1 50); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
done
# The world in play: the automated player photographs each map two seconds after it
# first walks in.
shots=$(mktemp -d)
"$build/tools/grimhold-autoplay" --seed 1 --shots "$shots" >/dev/null
for m in 901 101 201 301 601 701 801 906; do
    /usr/bin/convert "$shots/map$m.bmp" "$out/map$m.png"
done
rm -rf "$shots"

echo "screenshots in $out:"
ls "$out"
