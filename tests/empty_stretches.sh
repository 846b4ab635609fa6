#!/usr/bin/env bash
# The empty-stretch lister on a made-up log: a stretch that crosses a map change is one
# stretch, a short one is left out, the longest comes first, and an unclosed stretch at
# the end (the game over) is not reported as if a demon had come.
set -u
script="$1"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cat >"$log" <<'LOG'
keys 0.000 -
view 0.000 demon map 101 at 0.00 0.00 alive 3
view 1000.000 none map 101 at 1.00 2.00 alive 2
where 1500.000 map 101 at 1.50 2.00
view 9000.000 none map 102 at -5.00 1.00 alive 4
view 12500.000 demon map 102 at -4.00 1.00 alive 4
view 13000.000 none map 102 at -3.00 1.00 alive 3
view 15000.000 demon map 102 at -2.00 1.00 alive 3
view 16000.000 none map 102 at 6.00 6.00 alive 0
view 40000.000 none map 103 at 0.00 0.00 alive 5
view 47000.000 demon map 103 at 0.50 0.00 alive 5
view 50000.000 none map 103 at 9.00 9.00 alive 0
LOG
got=$("$script" "$log" 5)
want="  31.0 s  from map 102 (6.00, 6.00), 0 alive; 102 > 103 at +24.0 s (0.00, 0.00); ends on map 103 (0.50, 0.00)
  11.5 s  from map 101 (1.00, 2.00), 2 alive; 101 > 102 at +8.0 s (-5.00, 1.00); ends on map 102 (-4.00, 1.00)"
if [ "$got" != "$want" ]; then
    printf 'expected:\n%s\ngot:\n%s\n' "$want" "$got"
    exit 1
fi
echo "stretches listed as expected"
