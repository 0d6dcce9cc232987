#!/usr/bin/env bash
# The Windows stage of the tests: cross-builds Orlimo.exe and the tests into
# build-win/, then runs under Wine, in a prefix of its own
# (build-win/wine-prefix): the core's tests, the dialogs' tests, and the
# end-to-end tests of Orlimo.exe in a private X server.
# Installs what it needs (Debian packages) by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
step() { printf '\n==== %s ====\n' "$*"; }

step "packages for the Windows build and Wine"
bash scripts/ensure-packages.sh cmake make googletest g++-mingw-w64-x86-64-posix \
    imagemagick icoutils wine wine64 xvfb xauth xdotool xclip fonts-nanum python3

step "Windows build (build-win/)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j "$jobs"
x86_64-w64-mingw32-strip -o build-win/Orlimo.stripped.exe build-win/bin/Orlimo.exe
echo "Orlimo.exe: $(stat -c %s build-win/bin/Orlimo.exe) bytes, stripped $(stat -c %s build-win/Orlimo.stripped.exe) bytes"
if x86_64-w64-mingw32-objdump -p build-win/bin/Orlimo.exe | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
    echo "Orlimo.exe must not need the compiler's DLLs" >&2
    exit 1
fi

step "Wine prefix (build-win/wine-prefix)"
bash scripts/wine-prefix.sh build-win/wine-prefix
export WINEPREFIX=$PWD/build-win/wine-prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
# Each stage starts its own Wine session: a desktop made without a screen (or
# on a screen that has gone) would be reused by the next program otherwise.
stop_wine() { timeout 60 wineserver -k >/dev/null 2>&1 || true; timeout 60 wineserver -w || true; }
trap stop_wine EXIT

step "core tests under Wine"
timeout 600 wine build-win/bin/core_tests.exe --gtest_brief=1
stop_wine

step "dialog tests under Wine"
# Wine goes before its screen does.
timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" sh -c \
    'wine build-win/bin/ui_tests.exe --gtest_brief=1; status=$?; wineserver -k; exit $status'
stop_wine

step "end-to-end tests of Orlimo.exe under Wine"
timeout 900 python3 ui/tests/e2e/run_e2e.py --bin build-win/bin --prefix "$WINEPREFIX" \
    --out build-win/e2e
echo "screenshots: build-win/e2e/"
