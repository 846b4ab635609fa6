#!/usr/bin/env bash
# The automated player must win the campaign with every demon dead, and a second run with
# the same seed, without drawing the world (--no-draw), must play exactly the same game:
# the seed decides everything, and nothing the game decides reads the drawn pixels.
set -u
player="$1"
out="$2"
mkdir -p "$out"
for run in 1 2; do
    extra=""
    [ "$run" = 2 ] && extra="--no-draw"
    if ! "$player" --seed 1 --minutes 20 $extra >"$out/run$run.txt" 2>&1; then
        echo "run $run did not win:"
        tail -n 12 "$out/run$run.txt"
        exit 1
    fi
done
grep -E "^(result|maps visited|kills|damage|items|arrows|counts)" "$out/run1.txt"
if ! diff <(grep -v '^Game data' "$out/run1.txt") <(grep -v '^Game data' "$out/run2.txt") >/dev/null; then
    echo "the two runs played different games:"
    diff "$out/run1.txt" "$out/run2.txt" | head -20
    exit 1
fi
