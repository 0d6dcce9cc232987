#!/usr/bin/env bash
# Builds Orlimo and runs every test: the native build, then the same tests
# built with AddressSanitizer and UndefinedBehaviorSanitizer.
# Installs what it needs (Debian packages) by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
step() { printf '\n==== %s ====\n' "$*"; }

step "packages"
bash scripts/ensure-packages.sh cmake make g++ googletest libbenchmark-dev

step "native build, tests and a benchmark smoke run (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

step "sanitizer build and tests (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DORLIMO_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

step "all tests passed"
