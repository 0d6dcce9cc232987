#!/usr/bin/env bash
# Builds Orlimo and runs every test: the native build, then the web page
# (the core in WebAssembly, tested in headless Chromium), then the same tests
# built with AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz
# target for a bounded time (ORLIMO_FUZZ_SECONDS, default 60), then the
# Windows program and the tests cross-built for Windows and run under Wine,
# then the release zip of that program, built a second time to prove it
# reproducible.
# Installs what it needs (Debian packages) by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
step() { printf '\n==== %s ====\n' "$*"; }

step "packages"
bash scripts/ensure-packages.sh cmake make g++ googletest libbenchmark-dev acl attr

step "native build, tests and a benchmark smoke run (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIMO_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

step "web page and its tests (build-web/)"
bash scripts/test-web.sh

step "sanitizer build and tests (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORLIMO_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DORLIMO_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

step "fuzzing (build-fuzz/), ${ORLIMO_FUZZ_SECONDS:-60}s per target"
bash scripts/fuzz.sh "${ORLIMO_FUZZ_SECONDS:-60}"

step "Windows build and tests under Wine (build-win/)"
bash scripts/test-windows.sh

step "release bundle, checked and built twice (build-win/, build-win-again/)"
bash scripts/test-release.sh

step "all tests passed"
