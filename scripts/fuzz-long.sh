#!/usr/bin/env bash
# A long fuzz run of every data-file reader and of the picture check, outside the test
# command: by default an hour per reader, one after the other, in the clang build of
# build-fuzz/ (built here when missing). The corpus grows in build-fuzz/corpus-long/ and is
# kept between runs; faults are left under build-fuzz/artifacts-long/.
#   scripts/fuzz-long.sh [SECONDS_PER_READER] [READER...]
#   RUNS=N scripts/fuzz-long.sh ...   also stops a reader after N executions
# Prints, per reader, the executions, their rate and the corpus size; exits non-zero when
# any reader found a fault.
set -u
cd "$(dirname "$0")/.."
seconds="${1:-3600}"
shift || true
readers=("$@")
[ ${#readers[@]} -gt 0 ] || readers=(map items monsters triggers names picture)

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DGRIMHOLD_FUZZ=ON -DGRIMHOLD_TESTS=OFF \
    -DGRIMHOLD_BENCHMARKS=OFF >/dev/null || exit 1
cmake --build build-fuzz -j"$(nproc)" >/dev/null || exit 1
fuzz="$PWD/build-fuzz"
mkdir -p "$fuzz/artifacts-long" "$fuzz/corpus-long"
"$fuzz/fuzz/fuzz_seeds" "$fuzz/seeds-long" || exit 1

runs_limit=()
[ -n "${RUNS:-}" ] && runs_limit=(-runs="$RUNS")

status=0
for reader in "${readers[@]}"; do
    mkdir -p "$fuzz/corpus-long/$reader"
    log="$fuzz/long-$reader.log"
    # Scratch files on the memory file system unless TMPDIR says otherwise.
    if ! "$fuzz/fuzz/fuzz_$reader" -max_total_time="$seconds" "${runs_limit[@]}" -timeout=10 -close_fd_mask=3 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$fuzz/artifacts-long/$reader-" \
        "$fuzz/corpus-long/$reader" "$fuzz/seeds-long/$reader" >"$log" 2>&1; then
        echo "fuzz_$reader found a fault:"
        tail -n 40 "$log"
        status=1
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    units=$(ls "$fuzz/corpus-long/$reader" | wc -l)
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    echo "fuzz_$reader: ${runs:-?} executions in ${took:-$seconds} s, ${rate:-?} a second, corpus $units inputs"
done
exit $status
