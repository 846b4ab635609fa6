#!/usr/bin/env bash
# The automated player must win the campaign with every demon dead, and the same seed must
# play the same game whether the world is drawn or not: the seed decides everything, and
# nothing the game decides reads the drawn pixels. The whole game is played without drawing
# (--no-draw, half the CPU); the drawn game is played for its first DRAWN_MINUTES game
# minutes, and its log must be the first lines of the whole game's log, every key set, every
# sight and every map change at the same moment.
set -u
player="$1"
out="$2"
DRAWN_MINUTES=4
mkdir -p "$out"
if ! "$player" --seed 1 --minutes 20 --no-draw --log "$out/whole.log" >"$out/whole.txt" 2>&1; then
    echo "the game did not win:"
    tail -n 12 "$out/whole.txt"
    exit 1
fi
grep -E "^(result|maps visited|kills|damage|items|arrows|counts)" "$out/whole.txt"
# Cut off by its budget, the drawn game ends "out of time" with a status of its own.
"$player" --seed 1 --minutes "$DRAWN_MINUTES" --log "$out/drawn.log" >"$out/drawn.txt" 2>&1
if ! grep -q "^result: out of time" "$out/drawn.txt"; then
    echo "the drawn game did not play its $DRAWN_MINUTES game minutes:"
    tail -n 12 "$out/drawn.txt"
    exit 1
fi
lines=$(wc -l <"$out/drawn.log")
if [ "$lines" -lt 1000 ] || ! head -n "$lines" "$out/whole.log" | cmp -s - "$out/drawn.log"; then
    echo "the drawn game played another game than the undrawn one ($lines lines of log):"
    diff <(head -n "$lines" "$out/whole.log") "$out/drawn.log" | head -20
    exit 1
fi
echo "the drawn game's first $DRAWN_MINUTES game minutes: the same $lines lines of log"
