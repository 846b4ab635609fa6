#!/usr/bin/env bash
# The Debian packages, end to end: build grimhold and grimhold-data with dpkg-buildpackage
# (scripts/package.sh), check their fields, files, texts and lintian, and what a reproducible
# build rests on (every file at the changelog's time, no build folder named inside); unpack
# both into a scratch folder (never the machine's own /usr), ask the programs for --help and
# --version there, make the tree read-only and play it in a private X server; move the tree
# and play it again; take its data away and see the one-line message and status 1. Two whole
# builds compared byte for byte are scripts/reproducible.sh, not run here.
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
# Under a umask that leaves folders group-writable, as many desktops set it: the source
# package must not take it in.
if ! (umask 0002 && "$src/scripts/package.sh" "$out/build") >"$out/build.log" 2>&1; then
    echo "the packages did not build:"
    tail -n 30 "$out/build.log"
    exit 1
fi
echo "packages built in $(( $(date +%s) - started )) s"
arch=$(dpkg --print-architecture)
deb="$out/build/grimhold_${version}_${arch}.deb"
data_deb="$out/build/grimhold-data_${version}_all.deb"
dbgsym_deb="$out/build/grimhold-dbgsym_${version}_${arch}.deb"
changes="$out/build/grimhold_${version}_${arch}.changes"
source_tar="$out/build/grimhold_${version}.tar.xz"
for f in "$deb" "$data_deb" "$changes" "$source_tar"; do
    [ -f "$f" ] || { echo "no $f:"; ls "$out/build"; exit 1; }
done

# The control fields.
check_fields() {
    field() { dpkg-deb -f "$1" "$2"; }
    local depends
    depends=$(field "$deb" Depends)
    echo "Depends: $depends"
    echo "$depends" | grep -Eq '(^|, )liballegro4\.4( |,|$)' || bad "Depends does not name Allegro's runtime library"
    echo "$depends" | grep -Fq "grimhold-data (= $version)" || bad "Depends does not name grimhold-data (= $version)"
    echo "$depends" | grep -q 'libpng' && bad "the game's package depends on libpng, which only the forge needs"
    # The build links libX11 itself (the window's class and icon): its headers are a
    # Build-Depends of their own, not left to Allegro's to bring.
    if echo "$depends" | grep -q 'libx11-6'; then
        grep -A8 '^Build-Depends:' "${changes%_*.changes}.dsc" | grep -q 'libx11-dev' ||
            bad "the game links libX11 but the Build-Depends do not name libx11-dev"
    fi
    [ "$(field "$deb" Architecture)" = "$arch" ] || bad "grimhold is not for $arch"
    [ "$(field "$data_deb" Architecture)" = all ] || bad "grimhold-data is not Architecture: all"
    [ "$(field "$data_deb" Multi-Arch)" = foreign ] || bad "grimhold-data is not Multi-Arch: foreign"
    field "$data_deb" Depends | grep -q lib && bad "grimhold-data depends on a library: $(field "$data_deb" Depends)"
    local p
    for p in "$deb" "$data_deb"; do
        [ "$(field "$p" Section)" = games ] || bad "$p: section is '$(field "$p" Section)', not games"
        [ "$(field "$p" Version)" = "$version" ] || bad "$p: version is '$(field "$p" Version)'"
        [ -n "$(field "$p" Maintainer)" ] || bad "$p: no maintainer"
        [ "$(field "$p" Description | wc -l)" -ge 3 ] || bad "$p: no long description"
    done
}
check_fields

# The files: each package only what is its own.
root="$out/root"
for p in "$deb" "$data_deb"; do
    dpkg-deb -x "$p" "$root" || { echo "dpkg-deb -x $p failed"; exit 1; }
done
check_files() {
    local games program size f
    games=$(ls -A "$root/usr/games" | tr '\n' ' ')
    [ "$games" = "grimhold grimhold-fullscreen " ] || bad "games/ holds: $games"
    for program in grimhold grimhold-fullscreen; do
        file -L "$root/usr/games/$program" | grep -q ', stripped' || bad "$program is not stripped"
        [ -f "$root/usr/share/man/man6/$program.6.gz" ] || bad "no manual page for $program"
    done
    for size in 16 32 48 64 128 256; do
        f="$root/usr/share/icons/hicolor/${size}x${size}/apps/grimhold.png"
        file "$f" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || bad "icon $size: $(file "$f")"
    done
    for f in usr/share/games/grimhold/data/triggers.dat usr/share/games/grimhold/data/maps/901.dtl \
             usr/share/icons/hicolor/scalable/apps/grimhold.svg; do
        [ -s "$root/$f" ] || bad "missing $f"
    done
    for p in grimhold grimhold-data; do
        [ -s "$root/usr/share/doc/$p/copyright" ] || bad "$p has no copyright"
        [ -s "$root/usr/share/doc/$p/changelog.gz" ] || bad "$p has no changelog"
    done
    dpkg-deb -c "$deb" | grep -q '/share/games/' && bad "grimhold holds game data"
    f=$(dpkg-deb -c "$data_deb" | awk '{print $6}' |
        grep -Ev '^\./(usr/|usr/share/|usr/share/games/|usr/share/doc/)?$|^\./usr/share/(games/grimhold|doc/grimhold-data)/')
    [ -z "$f" ] || bad "grimhold-data holds more than the data: $(echo "$f" | head -3)"
    # The scalable icon is the same emblem as the pictures: drawn at 256 pixels it may differ
    # from the 256-pixel PNG only at the edges.
    local svg_png="$out/svg-256.png" mae
    if rsvg-convert -w 256 -h 256 "$root/usr/share/icons/hicolor/scalable/apps/grimhold.svg" -o "$svg_png"; then
        mae=$(compare -metric MAE "$svg_png" "$root/usr/share/icons/hicolor/256x256/apps/grimhold.png" null: 2>&1 |
              sed 's/.*(\(.*\))/\1/')
        echo "scalable icon against the 256-pixel picture: mean difference $mae"
        awk -v m="$mae" 'BEGIN { exit !(m < 0.02) }' || bad "the scalable icon is not the emblem of the pictures ($mae)"
    else
        bad "the scalable icon does not render"
    fi
    local desktop
    desktop=$(ls "$root"/usr/share/applications/*.desktop)
    desktop-file-validate "$desktop" || bad "the desktop entry does not validate"
    grep -q '^Exec=grimhold$' "$desktop" || bad "the menu entry does not start the windowed game"
    grep -q '^Exec=grimhold-fullscreen$' "$desktop" || bad "no full-screen action"
    # The window's class, which the game sets and tests/e2e/window_manners.sh checks.
    grep -q '^StartupWMClass=grimhold$' "$desktop" || bad "the menu entry names no StartupWMClass=grimhold"
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$out/appstream.txt" 2>&1 ||
        { cat "$out/appstream.txt"; bad "the AppStream metadata does not validate"; }
}
check_files

# The texts' counts are the campaign's as the unpacked data holds it, counted here with awk
# from the tables the game reads.
check_facts() {
    local data="$root/usr/share/games/grimhold/data" maps counts demons kinds keys gems hearts
    maps=$(ls "$data/maps" | grep -c '\.dtl$')
    counts=$(cat "$data/monsters.dat" "$data/items.dat" | tr -s ' \t\r' '\n\n\n' | awk -v m="$(wc -w <"$data/monsters.dat")" '
        NR <= m { t[NR] = $1; next }
        { u[NR - m] = $1 }
        END {
            i = 2
            for (map = 0; map < 1000; map++) {
                n = t[i++]; demons += n
                for (j = 0; j < n; j++) seen[t[i++]] = 1
            }
            for (k in seen) kinds++
            for (j = 0; j < u[2]; j++) {
                type = u[3 + 5 * j + 4]
                if (type == 0) hearts++; else if (type <= 5) keys++; else gems++
            }
            print demons + 0, kinds + 0, keys + 0, gems + 0, hearts + 0
        }')
    read -r demons kinds keys gems hearts <<<"$counts"
    echo "the unpacked data: $maps maps, $demons demons of $kinds kinds, $keys keys, $gems gems, $hearts hearts"
    [ "$maps" -gt 0 ] && [ "$demons" -gt 0 ] || bad "no campaign counted in $data"
    local line="Its $maps maps hold $demons demons of $kinds kinds, $keys keys, $gems gems and $hearts hearts."
    dpkg-deb -f "$deb" Description | grep -Fq "$line" || bad "grimhold's description does not say: $line"
    dpkg-deb -f "$data_deb" Description | grep -Fq "$line" || bad "grimhold-data's description does not say: $line"
    local page
    page=$(zcat "$root/usr/share/man/man6/grimhold.6.gz" | tr '\n' ' ')
    echo "$page" | grep -Fq "campaign: $maps maps, $demons demons of $kinds kinds." || bad "the manual page's counts"
    echo "$page" | grep -Fq "($keys keys and $gems gems lie on the maps)" || bad "the manual page's keys and gems"
    echo "$page" | grep -Fq "the $hearts hearts lying" || bad "the manual page's hearts"
    echo "$page" | grep -Eq '(Eight|eight) maps|92 demons' && bad "the manual page keeps the old campaign's counts"
    local meta
    meta=$(tr -s ' \n' '  ' <"$root"/usr/share/metainfo/*.metainfo.xml)
    echo "$meta" | grep -Fq "$maps maps hold $demons demons of $kinds kinds, $hearts hearts, $keys keys and $gems gems." ||
        bad "the AppStream text's counts"
}
check_facts

# The source package holds the sources only: the forge makes the data in the build.
writable=$(tar -tvJf "$source_tar" | awk '$1 ~ /^.....w|^........w/' | head -3)
[ -z "$writable" ] || bad "the source package has entries writable by group or others (the umask leaked in): $writable"
generated=$(tar -tJf "$source_tar" | grep -E '\.(bmp|dtl|smp|dat)$|/(data|obj-[^/]*|build[^/]*)/$' | head -3)
[ -z "$generated" ] || bad "the source package holds generated files: $generated"

# lintian on the source package, both binary packages and the .changes: no error and no
# warning. Notes are shown.
lintian --fail-on error,warning --display-info "$changes" >"$out/lintian.txt" 2>&1
lintian_status=$?
cat "$out/lintian.txt"
grep -Eq '^[EW]: ' "$out/lintian.txt" && bad "lintian reports errors or warnings"
[ "$lintian_status" -eq 0 ] || bad "lintian exited with $lintian_status"

# What two identical builds rest on, cheaply: every entry of every package at the time of the
# newest changelog entry and owned by root, and the build's own folder named in no file
# (the debug symbols included).
check_reproducible_traits() {
    local epoch stamp p listing
    epoch=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Timestamp)
    stamp=$(TZ=UTC date -d "@$epoch" '+%F %T')
    for p in "$deb" "$data_deb" "$dbgsym_deb"; do
        listing=$(dpkg-deb --fsys-tarfile "$p" | TZ=UTC tar -tv --full-time)
        [ -n "$listing" ] || bad "$p lists no files"
        echo "$listing" | awk -v s="$stamp" '$4 " " $5 != s || $2 != "root/root"' | head -3 | grep . &&
            bad "$(basename "$p"): entries not at $stamp or not root's (above)"
    done
    local dbg="$out/dbgsym"
    dpkg-deb -x "$dbgsym_deb" "$dbg" || bad "the debug symbols do not unpack"
    grep -rlF "$out/build" "$root" "$dbg" | head -3 | grep . && bad "the build folder is named in the files above"
    rm -rf "$dbg"
}
check_reproducible_traits

# --help and --version answer on standard output with status 0 before anything starts: no
# display, and no data either (each program is asked from a folder of its own, where it
# would otherwise say that it finds no data and end with status 1).
check_options() {
    local program lone text status
    for program in grimhold grimhold-fullscreen; do
        lone="$out/lone/$program"
        mkdir -p "$lone"
        cp "$root/usr/games/$program" "$lone/"
        text=$(env -u DISPLAY "$lone/$program" --version 2>"$out/stderr.txt")
        status=$?
        [ "$status" -eq 0 ] && [ "$text" = "grimhold $version" ] && [ ! -s "$out/stderr.txt" ] ||
            bad "$program --version: status $status, said '$text' $(cat "$out/stderr.txt")"
        text=$(env -u DISPLAY "$lone/$program" --help 2>"$out/stderr.txt")
        status=$?
        [ "$status" -eq 0 ] && [ ! -s "$out/stderr.txt" ] || bad "$program --help: status $status"
        echo "$text" | head -n 1 | grep -Fxq "Usage: $program [--help | --version]" || bad "$program --help said: $text"
        echo "$text" | grep -q -e '--version' || bad "$program --help does not name --version"
    done
    rm -rf "$out/lone" "$out/stderr.txt"
}
check_options

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
    local win
    (cd "$workdir" && exec "${as_player[@]}" "$tree/usr/games/grimhold") >"$run/stdout.txt" 2>"$run/stderr.txt" &
    GAME_PID=$!
    if ! win=$(wait_for_window grimhold) || ! wait_for_story "$win" "$run/story.png"; then
        bad "$2: no story panel"
        cat "$run/stdout.txt" "$run/stderr.txt"
        return
    fi
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

# The packages' own autopkgtest, its script run directly (autopkgtest's runner needs a
# virtual machine or a container): the game's smoke test on the unpacked tree.
if GRIMHOLD_GAME="$out/moved/somewhere/else/usr/games/grimhold" AUTOPKGTEST_TMP="$out/autopkgtest" \
    "$src/debian/tests/smoke" >"$out/autopkgtest.log" 2>&1; then
    tail -n 1 "$out/autopkgtest.log"
else
    cat "$out/autopkgtest.log"
    bad "the autopkgtest debian/tests/smoke failed"
fi
grep -q '^Tests: smoke$' "$src/debian/tests/control" || bad "debian/tests/control does not run the smoke test"

# Without its data: the one line naming both places, status 1, before any other line.
nodata="$out/nodata"
cp -a "$out/moved/somewhere/else" "$nodata"
chmod -R u+w "$nodata"
rm -rf "$nodata/usr/share/games/grimhold/data"
message=$(cd "$workdir" && env -u DISPLAY timeout 20 "$nodata/usr/games/grimhold" 2>&1 >/dev/null)
status=$?
want="No game data: neither $nodata/usr/games/data nor $nodata/usr/share/games/grimhold/data is a folder the game can read"
[ "$status" -eq 1 ] || bad "without data the status is $status"
[ "$message" = "$want" ] || bad "without data the game said: $message"
chmod -R u+w "$out/moved"
exit $fail
