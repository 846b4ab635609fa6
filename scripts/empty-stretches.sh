#!/usr/bin/env bash
# Lists the stretches of an automated player's game with no living demon in view, longest
# first: how long, where each began (map, x and z), the maps crossed, where each ended, and
# how many demons were still alive on the map at its start. Reads the log of
#   grimhold-autoplay --log FILE ...
#   scripts/empty-stretches.sh FILE [SECONDS]     (stretches longer than SECONDS, default 15)
set -eu
log="${1:?usage: scripts/empty-stretches.sh LOG [SECONDS]}"
limit="${2:-15}"
awk -v limit="$limit" '
# view MS demon|none map M at X Z alive N
$1 != "view" { next }
{ t = $2 / 1000 }
$3 == "none" && !open { open = 1; t0 = t; from = sprintf("map %s (%s, %s), %s alive", $5, $7, $8, $10); maps = $5; last = $5; next }
$3 == "none" && open && $5 != last { maps = maps " > " $5 " at +" sprintf("%.1f", t - t0) " s (" $7 ", " $8 ")"; last = $5; next }
$3 == "demon" && open { open = 0
    if (t - t0 > limit) printf "%6.1f s  from %s; %s; ends on map %s (%s, %s)\n", t - t0, from, maps, $5, $7, $8 }
' "$log" | sort -rn
