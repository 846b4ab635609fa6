#!/usr/bin/env bash
# --help and --version: their text on standard output and status 0, before anything starts
# (no display, and no data beside a copy of the program, where a start would end with the
# one-line "No game data" and status 1); the first of them wins; any other argument is
# ignored and the game starts as without it; a full standard output is status 1.
# Usage: command_line.sh GAME_PROGRAM VERSION WORK_DIR
set -u
program="$1"
version="$2"
work="$3"
name=$(basename "$program")
rm -rf "$work"
mkdir -p "$work"
cp "$program" "$work/"
lone="$work/$name"
fail=0
bad() { echo "FAIL: $*"; fail=1; }

ask() {  # ask ARGS...: sets OUT, ERR and STATUS
    OUT=$(cd "$work" && env -u DISPLAY timeout 20 "$lone" "$@" 2>"$work/stderr.txt")
    STATUS=$?
    ERR=$(cat "$work/stderr.txt")
}

ask --version
[ "$STATUS" -eq 0 ] && [ "$OUT" = "grimhold $version" ] && [ -z "$ERR" ] ||
    bad "--version: status $STATUS, out '$OUT', err '$ERR'"
ask --help
[ "$STATUS" -eq 0 ] && [ -z "$ERR" ] || bad "--help: status $STATUS, err '$ERR'"
[ "$(echo "$OUT" | head -n 1)" = "Usage: $name [--help | --version]" ] || bad "--help said: $OUT"
echo "$OUT" | grep -q -e '--version' || bad "--help does not name --version"
echo "$OUT" | grep -q 'Initializing' && bad "--help started the game: $OUT"
ask something --version --help
[ "$STATUS" -eq 0 ] && [ "$OUT" = "grimhold $version" ] || bad "the first option does not win: $OUT"
ask --fullscreen -v
[ "$STATUS" -eq 1 ] && echo "$ERR" | grep -q '^No game data: ' ||
    bad "another argument is not ignored: status $STATUS, err '$ERR'"
(cd "$work" && "$lone" --help >/dev/full 2>"$work/stderr.txt")
status=$?
[ "$status" -eq 1 ] && grep -q 'cannot write to standard output' "$work/stderr.txt" ||
    bad "--help into a full output: status $status, err '$(cat "$work/stderr.txt")'"
rm -rf "$work"
exit $fail
