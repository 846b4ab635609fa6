#!/usr/bin/env bash
# Runs every test: unit and end-to-end tests, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzz targets. Installs what is missing first.
set -eu
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)

echo "== build and test"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs")

echo "== build and test with sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIMHOLD_SANITIZE=ON -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

echo "== fuzz the data-file readers and the picture check (about 30 s each)"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DGRIMHOLD_FUZZ=ON -DGRIMHOLD_TESTS=OFF \
    -DGRIMHOLD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
fuzz="$PWD/build-fuzz"
mkdir -p "$fuzz/artifacts"
"$fuzz/fuzz/fuzz_seeds" "$fuzz/corpus"
for reader in map items monsters triggers picture; do
    # Any crash, sanitizer report, leak, slow input (10 s) or memory blow-up ends the run
    # with a non-zero status and leaves the input under build-fuzz/artifacts.
    if ! "$fuzz/fuzz/fuzz_$reader" -max_total_time=30 -timeout=10 -close_fd_mask=3 -max_len=16384 \
        -artifact_prefix="$fuzz/artifacts/$reader-" "$fuzz/corpus/$reader" >"$fuzz/$reader.log" 2>&1; then
        echo "fuzz_$reader found a fault:"
        tail -n 60 "$fuzz/$reader.log"
        exit 1
    fi
    echo "fuzz_$reader: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$fuzz/$reader.log" || echo "no summary")"
done

echo "== all tests passed"
