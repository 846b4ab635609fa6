#!/usr/bin/env bash
# Where the game looks for its data. A "data" beside it that is a file, a dangling link or a
# link loop, or none at all, must never send it to the working folder's own data/: it names
# both places it tried in one line on standard error, prints nothing on standard output (not
# even a start-up line) and exits 1.
# No X display is needed: the game must stop before it asks for one.
set -u
game="$1"
scratch=$(mktemp -d /tmp/grimhold-lookup-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# The working folder holds a data/ of its own, which the game must leave alone.
mkdir -p "$scratch/cwd/data/maps"

fail=0
check() {
    local name="$1" tree="$scratch/$1"
    out=$(cd "$scratch/cwd" && env -u DISPLAY timeout 20 "$tree/games/grimhold" 2>"$scratch/stderr.txt")
    status=$?
    err=$(cat "$scratch/stderr.txt")
    want="No game data: neither $tree/games/data nor $tree/share/games/grimhold/data is a folder the game can read"
    if [ "$status" -ne 1 ] || [ "$err" != "$want" ] || [ -n "$out" ]; then
        echo "$name: expected status 1, the one line on standard error and nothing on standard output"
        echo "  $want"
        echo "got status $status, on standard error:"
        echo "$err" | sed 's/^/  /'
        echo "and on standard output:"
        echo "$out" | sed 's/^/  /'
        fail=1
    else
        echo "$name: $err"
    fi
}

for name in file dangling loop missing; do
    mkdir -p "$scratch/$name/games"
    cp "$game" "$scratch/$name/games/grimhold"
done
echo "not a folder" >"$scratch/file/games/data"
ln -s nowhere "$scratch/dangling/games/data"
ln -s data "$scratch/loop/games/data"

check file
check dangling
check loop
check missing
exit $fail
