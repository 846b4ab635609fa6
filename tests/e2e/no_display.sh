#!/usr/bin/env bash
# With no X display there is no video mode at any depth: the game says so and exits 1, and
# one more line on standard error says why: DISPLAY is not set, or the display it names
# does not answer.
set -u
game="$1"
fail=0

# Runs the game with the environment given; checks status 1, the game's own message and
# the reason on standard error.
check() {
    local name="$1" why="$2"
    shift 2
    out=$(env "$@" timeout 20 "$game" 2>/tmp/grimhold-no-display.$$)
    status=$?
    err=$(cat /tmp/grimhold-no-display.$$)
    rm -f /tmp/grimhold-no-display.$$
    echo "$name: status $status; standard output:"
    echo "$out" | sed 's/^/  /'
    echo "standard error:"
    echo "$err" | sed 's/^/  /'
    [ "$status" -eq 1 ] || { echo "$name: expected exit status 1, got $status"; fail=1; }
    echo "$out$err" | grep -q "Can't init graphics window!" || { echo "$name: the game's message is missing"; fail=1; }
    [ "$err" = "$why" ] || { echo "$name: expected on standard error: $why"; fail=1; }
}

check unset "No window: DISPLAY is not set, so there is no X display to open it on" -u DISPLAY

# A display no server holds: no socket and no lock file.
for n in $(seq 400 499); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        check nobody "No window: could not connect to the X display :$n" DISPLAY=":$n"
        break
    fi
done
exit $fail
