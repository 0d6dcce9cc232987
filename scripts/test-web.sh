#!/usr/bin/env bash
# The web stage of the tests: builds build-web/orlimo.html and bbcode35.js,
# tests bbcode35.js in a blog page made with orlimo apply, compares the core
# compiled to WebAssembly with the native one on the differential test's
# generated skins, tests the page in headless Chromium and Firefox against
# orlimo on the example (writing build-web/screenshots/orlimo-web.png) and
# runs the 1 MB Apply benchmark once in each. Needs the native build of
# build/ (built here if missing).
# Installs what it needs (Debian packages, npm packages) by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
step() { printf '\n==== %s ====\n' "$*"; }

step "packages for the web page and its tests"
bash scripts/ensure-packages.sh cmake make g++ googletest chromium firefox-esr fonts-nanum

step "web page (build-web/orlimo.html)"
bash scripts/build-web.sh

step "native orlimo and the generated skins' native results"
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIMO_BUILD_TESTS=ON >/dev/null
fi
cmake --build build -j "$jobs" --target orlimo core_tests
ORLIMO_DIFF_DUMP=build-web/native-commands.bin \
    build/bin/core_tests --gtest_filter='Differential.GeneratedSkins' --gtest_brief=1

step "bbcode35.js in the blog page, in Chromium and Firefox"
node --test web/bbcode/test/bbcode.test.mjs

step "web tests: WebAssembly core against native, the page in Chromium and Firefox"
node --test web/test/
echo "screenshot: build-web/screenshots/orlimo-web.png"

step "benchmark: Apply on a 1 MB skin in the page (a measurement, not a test)"
node bench/web_apply_1mb.mjs 3
