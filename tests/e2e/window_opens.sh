#!/usr/bin/env bash
# Starts the real game STARTS times in a row on one Xvfb and checks that every start opens
# its window. The server is left to reset whenever its last client leaves, as Xvfb does by
# default, and short-lived clients come and go beside the game the whole time, as the other
# scripts' polls do: a reset hangs up on a client still in its greeting, which once cost
# about one start in thirty ("Can't init graphics window!").
# Usage: window_opens.sh GAME OUT_DIR [STARTS]
set -u
game="$1"
out="$2"
starts="${3:-50}"
mkdir -p "$out"

# A server of this script's own: with -displayfd Xvfb takes the first free display itself
# and writes its number once it answers, so that two scripts started at the same moment
# cannot end up on one server (and one of them lose it when the other ends).
rm -f "$out/display.txt"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$out/display.txt" >"$out/xvfb.txt" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 300); do
    grep -q '^[0-9]' "$out/display.txt" 2>/dev/null && break
    sleep 0.1
done
grep -q '^[0-9]' "$out/display.txt" || { echo "Xvfb did not start within 30 s"; cat "$out/xvfb.txt"; exit 1; }
export DISPLAY=":$(head -n 1 "$out/display.txt")"

# The clients that come and go: each one that leaves last resets the server.
(while :; do xlsclients -display "$DISPLAY" >/dev/null 2>&1; done) &
CHURN_PID=$!
GAME_PID=
trap 'kill "$CHURN_PID" "$XVFB_PID" $GAME_PID 2>/dev/null; wait' EXIT

# Waits until the game's window is mapped (0) or the game has ended (1), at most 20 s.
window_or_end() {
    for _ in $(seq 1 200); do
        xdotool search --onlyvisible --name "$(basename "$game")" >/dev/null 2>&1 && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Ends the game. Not with SIGTERM: the graphics library's handler frees memory and
# deadlocks when the signal lands inside the allocator. Killed, the game leaves behind the
# shared memory its screen was drawn through; that segment (`ipcs -p`: its creator) is
# removed here.
stop_game() {
    kill -KILL "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    for id in $(ipcs -m -p | awk -v pid="$GAME_PID" '$3 == pid { print $1 }'); do
        ipcrm -m "$id" 2>/dev/null
    done
    GAME_PID=
}

failed=0
for i in $(seq 1 "$starts"); do
    "$game" >"$out/stdout.txt" 2>"$out/stderr.txt" &
    GAME_PID=$!
    if window_or_end; then
        opened=1
    else
        opened=0
    fi
    stop_game
    if [ "$opened" -eq 0 ]; then
        failed=$((failed + 1))
        echo "start $i: no window"
        cat "$out/stdout.txt" "$out/stderr.txt"
        echo
    fi
    # The window must be gone before the next start looks for one.
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name "$(basename "$game")" >/dev/null 2>&1 || break
        sleep 0.1
    done
done
echo "$((starts - failed)) of $starts starts opened the window"
[ "$failed" -eq 0 ]
