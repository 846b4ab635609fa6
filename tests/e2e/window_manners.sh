#!/usr/bin/env bash
# The window as a desktop and a player meet it, in a real X server: the window's class names
# the game as its menu entry does and it carries the game's icon; the close button (pressed
# as a window manager presses it, with CLOSE_WINDOW) ends the game with status 0 during the
# logo's hold, on the story and in play, and ESC ends it on the story; the waiting game
# leaves the processor alone (its CPU time measured from /proc over the wait); two short taps
# of SPACE during the logo's hold lead into the world, and one short tap leaves the story.
# Usage: window_manners.sh GAME CLOSE_WINDOW DESKTOP_ENTRY OUT_DIR
set -u
game="$1"
close_window="$2"
desktop="$3"
out="$4"
mkdir -p "$out"
. "$(dirname "$0")/xserver.sh"
start_xserver
fail=0
bad() { echo "FAIL: $*"; fail=1; }
ticks_per_second=$(getconf CLK_TCK)

start_game() {
    "$game" >"$out/stdout.txt" 2>"$out/stderr.txt" &
    GAME_PID=$!
    WIN=$(wait_for_window "$(basename "$game")") || { bad "$1: no game window"; return 1; }
}

# The game's CPU time so far, in clock ticks (user + system).
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat" 2>/dev/null || echo 0
}

# Percent of one core the game used over the next SECONDS seconds.
cpu_percent_over() {
    local before after
    before=$(cpu_ticks)
    sleep "$1"
    after=$(cpu_ticks)
    echo $(( (after - before) * 100 / (ticks_per_second * ${1%.*}) ))
}

# Waits (up to 30 s) for the logo: the picture fading in, before the story's panel.
wait_for_logo() {
    for _ in $(seq 1 150); do
        screenshot "$WIN" "$out/logo.png" || { sleep 0.1; continue; }
        shows_story_panel "$out/logo.png" && return 1
        [ "$(colour_count "$out/logo.png")" -gt 16 ] && return 0
        sleep 0.05
    done
    return 1
}

# Whether the world is on the screen within 5 s: not the story's panel, and many colours.
world_shows() {
    for _ in $(seq 1 25); do
        sleep 0.2
        screenshot "$WIN" "$out/$1.png" || continue
        ! shows_story_panel "$out/$1.png" && [ "$(colour_count "$out/$1.png")" -gt 16 ] && return 0
    done
    return 1
}

# Gives the game 10 s to end by itself; sets END_STATUS to its status, or "killed".
ended_status() {
    for _ in $(seq 1 100); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$GAME_PID" 2>/dev/null; then
        kill -KILL "$GAME_PID"
        wait "$GAME_PID" 2>/dev/null
        END_STATUS=killed
    else
        wait "$GAME_PID"
        END_STATUS=$?
    fi
    GAME_PID=
}

expect_end() {
    ended_status
    echo "$1: the game ended with status $END_STATUS"
    [ "$END_STATUS" = 0 ] || { bad "$1: status $END_STATUS"; cat "$out/stderr.txt"; }
}

press_close() {
    "$close_window" "$WIN" || bad "$1: the close request could not be sent"
}

# 1. The class, the icon, the hold's CPU, and the close button during the hold.
if start_game logo; then
    class=$(xprop -id "$WIN" WM_CLASS)
    echo "$class"
    wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    [ -n "$wanted" ] || bad "the menu entry names no StartupWMClass"
    [ "$class" = "WM_CLASS(STRING) = \"$wanted\", \"$wanted\"" ] || bad "the window's class is not the menu entry's $wanted"
    icon=$(xprop -id "$WIN" -notype 32c _NET_WM_ICON | sed 's/^_NET_WM_ICON = //' | tr -d ' ' | tr ',' '\n')
    # Width, height, then a pixel for each: as large as a dock shows it.
    read -r width height <<<"$(echo "$icon" | head -n 2 | tr '\n' ' ')"
    pixels=$(( $(echo "$icon" | wc -l) - 2 ))
    echo "icon: ${width:-none} x ${height:-none}, $pixels pixels"
    [ "${width:-0}" -ge 32 ] 2>/dev/null && [ "$width" = "$height" ] && [ "$pixels" -eq $((width * height)) ] ||
        bad "the window has no square icon of 32 pixels or more"
    # Clear corners and an opaque emblem: alpha 0 and alpha 255 both there.
    echo "$icon" | tail -n +3 | grep -qx 0 && echo "$icon" | tail -n +3 | awk '$1 >= 4278190080 { found = 1 } END { exit !found }' ||
        bad "the icon is not an emblem on a clear ground"
    if wait_for_logo; then
        percent=$(cpu_percent_over 1)
        echo "the logo's hold: $percent % of a core"
        [ "$percent" -lt 25 ] || bad "the logo's hold spins ($percent % of a core)"
    else
        bad "the logo never showed"
    fi
    press_close logo
    expect_end "the close button during the logo"
fi

# 2. Two short taps of SPACE during the hold: the first ends it, the second the story.
if start_game taps && wait_for_logo; then
    send_key "$WIN" space 0.05
    sleep 0.1
    send_key "$WIN" space 0.05
    world_shows taps_world || bad "two taps of SPACE during the logo did not lead into the world"
    press_close taps
    expect_end "the close button in play"
fi

# 3. The story: its wait measured, then one short tap of SPACE leaves it.
if start_game story && wait_for_story "$WIN" "$out/story.png"; then
    percent=$(cpu_percent_over 2)
    echo "the story's wait: $percent % of a core"
    [ "$percent" -lt 25 ] || bad "the story's wait spins ($percent % of a core)"
    send_key "$WIN" space 0.05
    world_shows story_world || bad "one short tap of SPACE did not leave the story"
    quit_game "$WIN"
    [ "$QUIT_STATUS" -eq 0 ] || bad "ESC in play: status $QUIT_STATUS"
fi

# 4. ESC, then the close button, on the story.
if start_game story_escape && wait_for_story "$WIN" "$out/story.png"; then
    send_key "$WIN" Escape 0.05
    expect_end "ESC on the story"
fi
if start_game story_close && wait_for_story "$WIN" "$out/story.png"; then
    press_close story
    expect_end "the close button on the story"
fi
exit $fail
