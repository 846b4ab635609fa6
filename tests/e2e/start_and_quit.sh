#!/usr/bin/env bash
# Starts the real game in a real X server, leaves the story with SPACE, quits with ESC.
# Checks the start-up lines in order, exit status 0 and that the window is not blank.
set -u
game="$1"
out="$2"
mkdir -p "$out"
. "$(dirname "$0")/xserver.sh"
start_xserver

"$game" >"$out/stdout.txt" 2>"$out/stderr.txt" &
GAME_PID=$!
win=$(wait_for_window "$(basename "$game")") || { echo "no game window"; cat "$out/stdout.txt" "$out/stderr.txt"; exit 1; }
wait_for_story "$win" "$out/story.png" || { echo "the story panel never showed"; cat "$out/stdout.txt" "$out/stderr.txt"; exit 1; }
send_key "$win" space
sleep 1
screenshot "$win" "$out/after_space.png"
quit_game "$win" || { echo "the game did not end on ESC"; exit 1; }
status=$QUIT_STATUS

fail=0
expected=$'Initializing game data...\nInitalizing Allegro...\nSetting graphics mode...\nGame data initialized, starting main loop...'
if [ "$(grep -E 'Initializing game data|Initalizing Allegro|Setting graphics mode|Game data initialized' "$out/stdout.txt")" != "$expected" ]; then
    echo "progress lines wrong:"; cat "$out/stdout.txt"; fail=1
fi
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$out/stderr.txt"; fail=1; }
story_colours=$(colour_count "$out/story.png")
[ "$story_colours" -gt 2 ] || { echo "story screen is blank ($story_colours colours)"; fail=1; }
[ -s "$out/after_space.png" ] || { echo "no screenshot after SPACE"; fail=1; }
cmp -s "$out/story.png" "$out/after_space.png" && { echo "the picture did not change after SPACE"; fail=1; }
colours=$(colour_count "$out/after_space.png")
[ "$colours" -gt 16 ] || { echo "screen after SPACE is blank ($colours colours)"; fail=1; }
exit $fail
