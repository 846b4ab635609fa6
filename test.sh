#!/usr/bin/env bash
# Runs every test: unit and end-to-end tests, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzz targets. Installs what is missing first.
#   ./test.sh         everything (CI runs this)
#   ./test.sh quick   the plain build's unit tests and one short game, for the edit-compile-
#                     test loop
# After each stage it says the wall time and the CPU time (user + system) it took.
set -eu
cd "$(dirname "$0")"
tier=${1:-full}
case "$tier" in
    full | quick) ;;
    *) echo "usage: $0 [quick]"; exit 2 ;;
esac
scripts/deps.sh test
jobs=$(nproc)

# The CPU time of every process this script has waited for, in seconds, into `cpu`. (Read
# by the shell itself: a subshell's `times` would count only its own children.)
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
read_cpu() {
    times >"$cpu_file"
    cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.1f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$cpu_file")
}
stage_wall=$SECONDS
read_cpu
stage_cpu=$cpu
stage_done() {
    read_cpu
    echo "-- $1: $((SECONDS - stage_wall)) s wall, $(awk -v a="$cpu" -v b="$stage_cpu" 'BEGIN { printf "%.0f", a - b }') s CPU"
    stage_wall=$SECONDS
    stage_cpu=$cpu
}

echo "== build and test"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
stage_done "plain build"
if [ "$tier" = quick ]; then
    # The return games are the unit tests' two whole games: the full run plays them.
    (cd build-test && ctest --output-on-failure -j"$jobs" -L quick -E '^AutoplayReturnDeathTest')
    stage_done "quick tests"
    echo "== the quick tests passed"
    exit 0
fi
# The novice's whole game is the plain suite's longest test: it is played beside the soak,
# which leaves a core to spare, instead of here.
novice_game='^autoplay_novice_plays_to_the_end$'
(cd build-test && ctest --output-on-failure -j"$jobs" -E "$novice_game")
stage_done "plain tests"

echo "== build and test with sanitizers, and fuzz beside them"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIMHOLD_SANITIZE=ON -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
stage_done "sanitizer build"
# The soak holds one core for most of this stage; the fuzz build and the fuzz targets, then
# the plain build's novice game, use the other while the unit tests are done.
fuzz="$PWD/build-fuzz"
mkdir -p "$fuzz"
rm -f "$fuzz/status" build-test/novice-game.status
(st=0; tests/fuzz_all.sh "$fuzz" >"$fuzz/all.log" 2>&1 || st=$?; echo "$st" >"$fuzz/status"
 st=0; (cd build-test && ctest --output-on-failure -R "$novice_game") >build-test/novice-game.log 2>&1 || st=$?
 echo "$st" >build-test/novice-game.status) &
side_pid=$!
sanitized=0
(cd build-sanitize && ctest --output-on-failure -j"$jobs") || sanitized=$?
wait "$side_pid" || true
cat "$fuzz/all.log" build-test/novice-game.log || true
stage_done "sanitizer tests, fuzzing and the novice's game"
[ "$sanitized" = 0 ] || { echo "the sanitizer build's tests failed"; exit 1; }
[ "$(cat "$fuzz/status" 2>/dev/null)" = 0 ] || { echo "fuzzing failed"; exit 1; }
[ "$(cat build-test/novice-game.status 2>/dev/null)" = 0 ] || { echo "the novice's game failed"; exit 1; }

echo "== all tests passed"
