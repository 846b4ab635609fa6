#!/bin/sh
# Layers point down: the tables (world/) at the bottom, then the platform (shell/video),
# the renderer, the game rules, the screens and the program (the rest of shell/). A file
# may include headers of its own layer or lower ones; this lists every one that does not
# and fails. Usage: check_layers.sh SOURCE_DIR
root=${1:-.}
cd "$root" || exit 2

layer() {
    case $1 in
        world/*) echo 0 ;;
        shell/video.*) echo 1 ;;
        render/*) echo 2 ;;
        game/*) echo 3 ;;
        screens/*) echo 4 ;;
        shell/*) echo 5 ;;
        *) echo -1 ;;
    esac
}

bad=0
for file in world/* shell/* render/* game/* screens/*; do
    own=$(layer "$file")
    for header in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
        theirs=$(layer "$header")
        if [ "$theirs" -gt "$own" ]; then
            echo "$file includes $header, a layer above it"
            bad=1
        fi
    done
done
exit $bad
