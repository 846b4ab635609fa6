# Shared by the end-to-end scripts: a private Xvfb display and a way to look at it.
# Usage: source this file, then start_xserver; stop_xserver runs on exit.

start_xserver() {
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            XDISPLAY=":$n"
            break
        fi
    done
    [ -n "${XDISPLAY:-}" ] || { echo "no free X display"; exit 1; }
    Xvfb "$XDISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap stop_xserver EXIT
    # A loaded machine can take a while to bring the server up: up to 30 s, then say so
    # rather than let the game fail to open its window.
    local up=0
    for _ in $(seq 1 300); do
        if xdpyinfo -display "$XDISPLAY" >/dev/null 2>&1; then
            up=1
            break
        fi
        sleep 0.1
    done
    [ "$up" = 1 ] || { echo "the X server on $XDISPLAY did not answer within 30 s"; exit 1; }
    export DISPLAY="$XDISPLAY"
}

stop_xserver() {
    [ -n "${GAME_PID:-}" ] && kill "$GAME_PID" 2>/dev/null || true  # it may have quit already
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null
    return 0
}

# Waits until a window of the game is mapped; prints its id.
wait_for_window() {
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Sends one key to the game window: pointer over it so that it has the focus.
send_key() {
    xdotool mousemove --window "$1" 20 20 >/dev/null 2>&1
    xdotool keydown "$2"
    sleep "${3:-0.3}"
    xdotool keyup "$2"
}

# Sends ESC to the game window and gives the game 10 s to end, then kills it. Sets
# QUIT_STATUS to its exit status; returns 1 when it had to be killed.
quit_game() {
    send_key "$1" Escape
    for _ in $(seq 1 100); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    local ended=0
    kill -0 "$GAME_PID" 2>/dev/null && { kill "$GAME_PID"; ended=1; }
    wait "$GAME_PID"
    QUIT_STATUS=$?
    GAME_PID=
    return $ended
}

# Writes a PNG of the window.
screenshot() {
    xwd -silent -id "$1" -display "$DISPLAY" > "$2.xwd" && /usr/bin/convert "xwd:$2.xwd" "png:$2" && rm -f "$2.xwd"
}

# Number of distinct colours in a picture: 1 means blank.
colour_count() {
    /usr/bin/convert "$1" -format '%k' info:
}

# Colour of one pixel of a picture as "r g b", 0..255.
pixel_at() {
    /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info: 2>/dev/null
}

# Whether a screenshot shows the story panel: its blue at (165, 270), whatever the colour
# depth made of it.
shows_story_panel() {
    local r g b
    read -r r g b <<<"$(pixel_at "$1" 165 270)"
    [ -n "${b:-}" ] && [ "$b" -ge 140 ] && [ "$b" -le 170 ] && [ "$r" -le 60 ] && [ "$g" -ge 85 ] && [ "$g" -le 110 ]
}

# Waits (up to 30 s) until the story panel is on the screen: the logo fade and its
# two-second hold come first, and until then SPACE is not read. Leaves a screenshot in $2.
wait_for_story() {
    for _ in $(seq 1 60); do
        sleep 0.5
        screenshot "$1" "$2" || continue
        shows_story_panel "$2" && return 0
    done
    return 1
}
