#!/usr/bin/env bash
# The novice plays one seed to the end of the game (won or lost) within its budget of game
# time, its report agreeing with the game's counts, and its log showing no breach of its
# handicaps: at most five key-set changes in any game second, every direction or SPACE held
# at least 100 ms of game time, every demon seen at least 250 ms of game time late.
set -u
player="$1"
out="$2"
mkdir -p "$out"
# Without drawing the world: the same game at half the CPU (the expert's drawn and undrawn
# games are held to be the same line for line).
if ! "$player" --skill novice --seed 1 --minutes 40 --no-draw --log "$out/novice.log" >"$out/novice.txt" 2>&1; then
    echo "the novice's game did not end well:"
    tail -n 20 "$out/novice.txt"
    exit 1
fi
grep -E '^(result|hands|sight|counts)' "$out/novice.txt"
awk '
$1 == "keys" {
    t = $2; n++; at[n] = t
    if (n > 5 && t - at[n - 5] < 1000 - 0.001) { printf "six key-set changes within a game second, the last at %s ms\n", t; bad = 1 }
    for (i = 1; i <= 5; i++) {
        k = substr("UDLRS", i, 1); now = index($3, k) > 0
        if (now && !down[k]) since[k] = t
        if (!now && down[k] && t - since[k] < 100 - 0.001) { printf "%s held %.3f ms only, let go at %s ms\n", k, t - since[k], t; bad = 1 }
        down[k] = now
    }
}
$1 == "sight" { sights++; if ($3 < 250 - 0.001) { printf "demons seen %s ms late only, at %s ms\n", $3, $2; bad = 1 } }
END {
    if (n < 10 || sights < 100) { printf "too little in the log to judge: %d key changes, %d sights\n", n, sights; bad = 1 }
    exit bad
}' "$out/novice.log" || { echo "the novice broke its handicaps"; exit 1; }
