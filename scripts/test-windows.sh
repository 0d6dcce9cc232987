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
    imagemagick icoutils wine wine64 xvfb xauth xdotool xclip fonts-nanum fonts-wine python3

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

step "dialog font where 굴림 is installed (a Wine font replacement)"
# Wine has no 굴림, so the run above proved the stand-in face; with one the
# template's face must stay. Registry files with Hangul names are UTF-16LE.
gulim_reg() {  # add|remove FILE
    python3 - "$1" "$2" <<'PY'
import sys
value = '"NanumGothic"' if sys.argv[1] == "add" else "-"
text = ("Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
        '"굴림"=' + value + "\r\n")
open(sys.argv[2], "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
PY
}
gulim=build-win/gulim.reg
gulim_reg add "$gulim"
timeout 120 wine reg import "$gulim" >/dev/null 2>&1
stop_wine
timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" sh -c \
    'wine build-win/bin/ui_tests.exe --gtest_brief=1 --gtest_filter="*DialogFontShowsHangul*"; status=$?; wineserver -k; exit $status'
gulim_reg remove "$gulim"
timeout 120 wine reg import "$gulim" >/dev/null 2>&1
stop_wine

step "end-to-end tests of Orlimo.exe under Wine"
timeout 900 python3 ui/tests/e2e/run_e2e.py --bin build-win/bin --prefix "$WINEPREFIX" \
    --out build-win/e2e
echo "screenshots: build-win/e2e/"
