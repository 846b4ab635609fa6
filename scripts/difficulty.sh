#!/usr/bin/env bash
# Plays the campaign with both automated player profiles, 40 seeds each at time_scale 1
# (plus three novice seeds with the rate measured at 0.1, 600 frames a second), and writes
# the table of wins, deaths, damage and game time per map into docs/difficulty.md. The games run
# without drawing the world (--no-draw: the same games at half the CPU), 40 game minutes
# at most each. The table judges the campaign's last aim: no map kills more than one in
# eight of the novices who reach it, over 40 seeds (its deaths against its visits; a
# share of all deaths cannot be judged with the few a sample holds).
#   scripts/difficulty.sh [BUILD_DIR] [--table-only]
#       BUILD_DIR defaults to build (the game must be built there); --table-only writes the
#       table again from the games of the last run.
#   SEEDS=N scripts/difficulty.sh ...     plays N seeds a profile instead of 40
#   RATE_SEEDS=N scripts/difficulty.sh ... plays N novice seeds at 0.1 instead of 3
#   FIRST_SEED=K scripts/difficulty.sh ... numbers the seeds from K instead of 1 (a second
#                                          sample: FIRST_SEED=21 plays seeds 21 to 40)
#   PROFILES=novice scripts/difficulty.sh ... plays only that profile (default: expert novice)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
player="$build/tools/grimhold-autoplay"
[ -x "$player" ] || { echo "no $player: build the game first (cmake -S . -B $build && cmake --build $build)"; exit 1; }
out="$build/difficulty"
seeds="${SEEDS:-40}"
rate_seeds="${RATE_SEEDS:-3}"
first="${FIRST_SEED:-1}"
profiles="${PROFILES:-expert novice}"
if [ "${2:-}" != "--table-only" ]; then
rm -rf "$out"
mkdir -p "$out"

jobs=()
for s in $(seq "$first" $((first + seeds - 1))); do
    for p in $profiles; do
        jobs+=("$p $s 1")
    done
done
for s in $(seq "$first" $((first + rate_seeds - 1))); do
    jobs+=("novice $s 0.1")
done
printf '%s\n' "${jobs[@]}" | xargs -P "$(nproc)" -L 1 sh -c '
    skill=$0 seed=$1 rate=$2
    if [ "$rate" = 1 ]; then name="$skill-$seed"; rateopt=""; else name="$skill-$seed-at-$rate"; rateopt="--rate $rate"; fi
    "'"$player"'" --skill "$skill" --seed "$seed" $rateopt --no-draw --minutes 40 >"'"$out"'/$name.txt" 2>&1 || true
    echo "$name: $(grep "^result" "'"$out"'/$name.txt")"'
fi

table="$out/table.md"
awk -v seeds=$seeds '
function profile(f) { n = split(f, p, "/"); f = p[n]; sub(/\.txt$/, "", f);
                      if (f ~ /-at-/) return "novice at 0.1"; split(f, q, "-"); return q[1] }
function median(pr, n,    i, j, t, v) { for (i = 1; i <= n; i++) v[i] = won[pr, i]
                                     for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
                                     return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
function rank(m) { return m == 901 ? 0 : m == 906 ? 10000 : m + 0 }
FNR == 1 { pr = profile(FILENAME); runs[pr]++ }
/^result: victory/ { wins[pr]++; minutes[pr] += $4; won[pr, wins[pr]] = $4 + 0 }
/^result: out of time/ { outs[pr]++ }
/^map [0-9]+:/ { m = $2; sub(/:/, "", m); maps[m] = 1; reached[pr, m]++; secs[pr, m] += $3;
                 dmg = $7; sub(/,/, "", dmg); damage[pr, m] += dmg; deaths[pr, m] += $9 }
/^death:/ { all_deaths[pr]++; map_deaths[pr, $3 + 0]++; if ($NF == "it" && $(NF - 5) + 0 < 3) early[pr]++ }
/^death:/ { m = $3; sub(/,/, "", $8); sub(/,/, "", $12); where[pr, m] = where[pr, m] sprintf("%s(%s, %s) kind %s", (where[pr, m] == "" ? "" : "; "), $6, $8, $12) }
END {
    print "| Player | Games | Won | Win rate | Out of time (40 game minutes) | Game minutes of a won game: median (mean) | Deaths | Deadliest map: deaths of those who reached it | Within 3 game seconds of entering a map |"
    print "|---|---|---|---|---|---|---|---|---|"
    split("expert,novice,novice at 0.1", order, ",")
    for (i = 1; i <= 3; i++) { pr = order[i]; if (!runs[pr]) continue
        most = 0; most_map = "-"; share[pr] = 0
        for (k in map_deaths) { split(k, key, SUBSEP); if (key[1] != pr) continue
            r = map_deaths[k] / reached[pr, key[2]]
            if (r > share[pr]) { share[pr] = r; most = map_deaths[k]; most_map = key[2] } }
        printf "| %s | %d | %d | %.0f %% | %d | %s | %d | %s | %d |\n", pr, runs[pr], wins[pr], 100 * wins[pr] / runs[pr], outs[pr],
               wins[pr] ? sprintf("%.1f (%.1f)", median(pr, wins[pr]), minutes[pr] / wins[pr]) : "-", all_deaths[pr],
               most ? sprintf("%d of %d on %s (%.0f %%)", most, reached[pr, most_map], most_map, 100 * share[pr]) : "-", early[pr] }
    print ""
    if (runs["novice"])
        printf "The aim, over 40 seeds: no map kills more than one in eight of the novices who reach it. %s\n\n",
               (share["novice"] <= 1 / 8 ? "Met" : "Not met") sprintf(" over %d seeds: at most %.0f %% on one map.", runs["novice"], 100 * share["novice"])
    print "Per map, for the games that reached it: how many did, the deaths there (where, x and z in"
    print "world units, and the kind of the demon that bit last), and the mean damage taken and game"
    print "seconds spent there."
    print ""
    print "| Map | Player | Reached | Deaths | Where, and which kind | Damage | Game seconds |"
    print "|---|---|---|---|---|---|---|"
    # The maps in the order of play: the start first, the finale last, the groups between.
    nm = 0
    for (m in maps) mo[++nm] = m
    for (a = 1; a <= nm; a++) for (b = a + 1; b <= nm; b++)
        if (rank(mo[b]) < rank(mo[a])) { t = mo[a]; mo[a] = mo[b]; mo[b] = t }
    for (k = 1; k <= nm; k++) { m = mo[k]
        for (i = 1; i <= 3; i++) { pr = order[i]; if (!reached[pr, m]) continue
            printf "| %s | %s | %d of %d | %d | %s | %.1f | %.1f |\n", m, pr, reached[pr, m], runs[pr], deaths[pr, m],
                   where[pr, m] == "" ? "-" : where[pr, m], damage[pr, m] / reached[pr, m], secs[pr, m] / reached[pr, m] } }
}' "$out"/*.txt >"$table"
cat "$table"

# Into its page, between the markers.
awk -v table="$table" '
/<!-- difficulty table -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
/<!-- end of difficulty table -->/ { skip = 0 }
!skip' docs/difficulty.md >docs/difficulty.md.new && mv docs/difficulty.md.new docs/difficulty.md
echo "docs/difficulty.md: table written"
