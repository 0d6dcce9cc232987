#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
# Builds the libFuzzer targets with clang, AddressSanitizer,
# UndefinedBehaviorSanitizer and the core's assertions (build-fuzz/) and runs
# each for the given time, starting from the seed corpus in fuzz/corpus. New
# inputs go to a scratch corpus under build-fuzz/, so the repository is left
# as it was. A crash stops the script with the failing input saved in
# build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/ensure-packages.sh cmake make clang libclang-rt-14-dev
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORLIMO_BUILD_TESTS=OFF -DORLIMO_BUILD_BENCH=OFF -DORLIMO_BUILD_FUZZERS=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
    >/dev/null
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure   # every seed once

for target in build-fuzz/bin/*_fuzzer; do
    name=$(basename "$target")
    corpus=build-fuzz/corpus/$name
    mkdir -p "$corpus"
    echo "== $name: ${seconds}s"
    (cd build-fuzz && "../$target" -max_total_time="$seconds" -max_len=8192 \
        -dict=../fuzz/skin.dict -print_final_stats=1 "../$corpus" ../fuzz/corpus ../examples 2>&1 |
        grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss|Done )|ERROR|check failed' ) ||
        { echo "$name failed" >&2; exit 1; }
done
