#!/usr/bin/env bash
# The Debian package, end to end: build it from a Release build, check its fields, its
# files and lintian; unpack it into a scratch folder (never the machine's own /usr), make
# the tree read-only and play it in a private X server; move the tree and play it again;
# take its data away and see the one-line message and status 1.
# Usage: package.sh SOURCE_DIR OUT_DIR VERSION
set -u
src="$1"
out="$2"
version="$3"
here="$(cd "$(dirname "$0")" && pwd)"
[ -d "$out" ] && chmod -R u+w "$out"
rm -rf "$out"
mkdir -p "$out"
fail=0
bad() { echo "FAIL: $*"; fail=1; }

started=$(date +%s)
if ! "$src/scripts/package.sh" "$out/build" >"$out/build.log" 2>&1; then
    echo "the package did not build:"
    tail -n 30 "$out/build.log"
    exit 1
fi
echo "package built in $(( $(date +%s) - started )) s"
arch=$(dpkg --print-architecture)
deb="$out/build/grimhold_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "no $deb:"; ls "$out/build"; exit 1; }

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
echo "$depends" | grep -Eq '(^|, )liballegro4\.4( |,|$)' || bad "Depends does not name Allegro's runtime library"
echo "$depends" | grep -q 'libpng' && bad "the game's package depends on libpng, which only the forge needs"
[ "$(field Section)" = games ] || bad "section is '$(field Section)', not games"
[ "$(field Version)" = "$version" ] || bad "version is '$(field Version)'"
[ -n "$(field Maintainer)" ] || bad "no maintainer"
description=$(field Description)
[ "$(echo "$description" | wc -l)" -ge 3 ] || bad "no long description: $description"

# The files.
root="$out/root"
dpkg-deb -x "$deb" "$root" || { echo "dpkg-deb -x failed"; exit 1; }
games=$(ls -A "$root/usr/games" | tr '\n' ' ')
[ "$games" = "grimhold grimhold-fullscreen " ] || bad "games/ holds: $games"
for program in grimhold grimhold-fullscreen; do
    file -L "$root/usr/games/$program" | grep -q ', stripped' || bad "$program is not stripped"
    [ -f "$root/usr/share/man/man6/$program.6.gz" ] || bad "no manual page for $program"
done
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/grimhold.png"
    file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || bad "icon $size: $(file "$icon")"
done
for f in usr/share/games/grimhold/data/triggers.dat usr/share/games/grimhold/data/maps/901.dtl \
         usr/share/doc/grimhold/copyright usr/share/doc/grimhold/changelog.gz; do
    [ -s "$root/$f" ] || bad "missing $f"
done
desktop=$(ls "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || bad "the desktop entry does not validate"
grep -q '^Exec=grimhold$' "$desktop" || bad "the menu entry does not start the windowed game"
grep -q '^Exec=grimhold-fullscreen$' "$desktop" || bad "no full-screen action"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$out/appstream.txt" 2>&1 ||
    { cat "$out/appstream.txt"; bad "the AppStream metadata does not validate"; }

# lintian: no error tag. Warnings and notes are shown for the record.
lintian --fail-on error --display-info "$deb" >"$out/lintian.txt" 2>&1
lintian_status=$?
cat "$out/lintian.txt"
grep -q '^E: ' "$out/lintian.txt" && bad "lintian reports errors"
[ "$lintian_status" -eq 0 ] || bad "lintian exited with $lintian_status"

# Play the unpacked tree read-only, from a working folder that is not the tree. Permission
# bits do not stop root, so as root the game runs as nobody; either way nothing in the tree
# may change and nothing may appear in the working folder, which only root could write.
chmod -R a-w "$root/usr"
chmod a+rx "$out"
workdir="$out/work"
mkdir -p "$workdir"
chmod 755 "$workdir"
. "$here/xserver.sh"
start_xserver
as_player=()
[ "$(id -u)" -eq 0 ] && as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)

# Past the story with SPACE, a frame of the world (looked for at once: a demon may reach the
# hero within seconds), ESC, status 0.
play_tree() {
    local tree="$1" run="$out/$2"
    mkdir -p "$run"
    touch "$run.stamp"
    local win attempt
    for attempt in 1 2; do
        (cd "$workdir" && exec "${as_player[@]}" "$tree/usr/games/grimhold") >"$run/stdout.txt" 2>"$run/stderr.txt" &
        GAME_PID=$!
        if win=$(wait_for_window grimhold) && wait_for_story "$win" "$run/story.png"; then
            break
        fi
        kill "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
        GAME_PID=
        # Once, a loaded CI machine's game could not open its window on a server that had
        # just answered. Say what the server said, then give it a second start: a package
        # that cannot start fails both.
        if [ "$attempt" = 1 ] && cat "$run/stdout.txt" "$run/stderr.txt" | grep -q "Can't init graphics window!"; then
            echo "$2: the game could not open its window; the X server $DISPLAY, asked as the player:"
            "${as_player[@]}" xdpyinfo -display "$DISPLAY" 2>&1 | head -n 3
            continue
        fi
        bad "$2: no story panel"
        cat "$run/stdout.txt" "$run/stderr.txt"
        return
    done
    send_key "$win" space 0.1
    local world=0
    for _ in $(seq 1 25); do
        sleep 0.2
        screenshot "$win" "$run/world.png" || continue
        # Not the story's panel any more, and not a blank or single-colour screen.
        if ! shows_story_panel "$run/world.png" && [ "$(colour_count "$run/world.png")" -gt 16 ]; then
            world=1
            break
        fi
    done
    [ "$world" -eq 1 ] || bad "$2: no frame of the world after SPACE"
    quit_game "$win" || bad "$2: the game did not end on ESC"
    local status=$QUIT_STATUS
    [ "$status" -eq 0 ] || { bad "$2: exit status $status"; cat "$run/stdout.txt" "$run/stderr.txt"; }
    grep -q '^Game data initialized, starting main loop...$' "$run/stdout.txt" || bad "$2: no start-up lines"
    changed=$(find "$tree" -newer "$run.stamp" | head -5)
    [ -z "$changed" ] || bad "$2: the game changed its tree: $changed"
    [ -z "$(ls -A "$workdir")" ] || bad "$2: the game wrote into its working folder: $(ls -A "$workdir")"
}
play_tree "$root" first_run

# Moved elsewhere, it still finds its data.
mkdir -p "$out/moved/somewhere"
chmod -R a+rx "$out/moved"
mv "$root" "$out/moved/somewhere/else"
play_tree "$out/moved/somewhere/else" moved_run

# Without its data: the one line naming both places, status 1, before any other line.
nodata="$out/nodata"
cp -a "$out/moved/somewhere/else" "$nodata"
chmod -R u+w "$nodata"
rm -rf "$nodata/usr/share/games/grimhold/data"
message=$(cd "$workdir" && env -u DISPLAY timeout 20 "$nodata/usr/games/grimhold" 2>/dev/null)
status=$?
want="No game data: neither $nodata/usr/games/data nor $nodata/usr/share/games/grimhold/data is a folder the game can read"
[ "$status" -eq 1 ] || bad "without data the status is $status"
[ "$message" = "$want" ] || bad "without data the game said: $message"
chmod -R u+w "$out/moved"
exit $fail
