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
    imagemagick icoutils wine wine64 xvfb xauth fonts-nanum fonts-wine python3

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

step "dialog tests and end-to-end tests of Orlimo.exe under Wine"
# Wine has no 굴림, so the first run proves the stand-in face; the second,
# with 굴림 made a Wine font replacement, that the template's face stays
# where it exists. Registry files with Hangul names are UTF-16LE.
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
gulim_reg add build-win/gulim-add.reg
gulim_reg remove build-win/gulim-remove.reg
# In build-win/e2e/, where the end-to-end test leaves its picture of the
# dialog (docs/orlimo-dialog.png is a copy). Wine goes before its screen does.
mkdir -p build-win/e2e
(cd build-win/e2e && timeout 900 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" sh -c '
    wine ../bin/ui_tests.exe --gtest_brief=1; status=$?
    wine reg import ../gulim-add.reg >/dev/null 2>&1
    wine ../bin/ui_tests.exe --gtest_brief=1 --gtest_filter="*DialogFontShowsHangul*" || status=1
    wine reg import ../gulim-remove.reg >/dev/null 2>&1
    wineserver -k; exit $status')
convert build-win/e2e/orlimo-dialog.bmp -alpha off build-win/e2e/orlimo-dialog.png
rm build-win/e2e/orlimo-dialog.bmp
echo "picture: build-win/e2e/orlimo-dialog.png"
