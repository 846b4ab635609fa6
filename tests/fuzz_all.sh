#!/usr/bin/env bash
# libFuzzer on every data-file reader and on the picture check, about 30 s each, in a clang
# build of its own. Any crash, sanitizer report, leak, slow input (10 s) or memory blow-up
# fails the run and leaves the input under BUILD_DIR/artifacts.
# Usage: fuzz_all.sh BUILD_DIR
set -eu
fuzz="$1"
src="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$src" -B "$fuzz" -DCMAKE_CXX_COMPILER=clang++ -DGRIMHOLD_FUZZ=ON -DGRIMHOLD_TESTS=OFF \
    -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
# The fuzz targets alone (not the game, its tools and their data), one job at a time: the
# other core runs the sanitizer build's tests meanwhile.
cmake --build "$fuzz" -j1 --target fuzz_seeds fuzz_map fuzz_items fuzz_monsters fuzz_triggers fuzz_names fuzz_picture >"$fuzz/build.log" 2>&1 || { tail -n 40 "$fuzz/build.log"; exit 1; }
mkdir -p "$fuzz/artifacts"
"$fuzz/fuzz/fuzz_seeds" "$fuzz/corpus"
echo "fuzz the data-file readers and the picture check (about 30 s each)"
for reader in map items monsters triggers names picture; do
    if ! "$fuzz/fuzz/fuzz_$reader" -max_total_time=30 -timeout=10 -close_fd_mask=3 -max_len=16384 \
        -artifact_prefix="$fuzz/artifacts/$reader-" "$fuzz/corpus/$reader" >"$fuzz/$reader.log" 2>&1; then
        echo "fuzz_$reader found a fault:"
        tail -n 60 "$fuzz/$reader.log"
        exit 1
    fi
    echo "fuzz_$reader: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$fuzz/$reader.log" || echo "no summary")"
done
