#!/usr/bin/env bash
# The release stage of the tests, after scripts/test-windows.sh: packs the
# release of build-win/ and checks it (the listed files, their checksums, the
# exe the Wine tests ran, the guide against the program's messages), then
# builds it again in a fresh folder of another name and requires the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { printf '\n==== %s ====\n' "$*"; }
bash scripts/ensure-packages.sh unzip icoutils python3

name=Orlimo-$(sed -n 's/^#define ORLIMO_VERSION_STRING "\(.*\)".*/\1/p' core/version.h)-win64
tested=$(sha256sum < build-win/bin/Orlimo.exe)

step "release (build-win/$name.zip)"
cmake --build build-win --target release
check=build-win/release-check
rm -rf "$check" && mkdir -p "$check/$name"
cp "build-win/$name.zip" build-win/SHA256SUMS "$check/"
unzip -q "$check/$name.zip" -d "$check/$name"
(cd "$check" && sha256sum --strict -c SHA256SUMS)
web=$(cd build-web 2>/dev/null && ls orlimo.html bbcode35.js 2>/dev/null || true)
expected=$(printf '%s\n' Orlimo.exe LICENSE orlimo-dialog.png user-guide-ko.html $web | sort | xargs)
packed=$(unzip -Z1 "build-win/$name.zip" | sort | xargs)
summed=$(sed -n "s|^[0-9a-f]\{64\}  $name/||p" build-win/SHA256SUMS | sort | xargs)
[ "$packed" = "$expected" ] && [ "$summed" = "$expected" ] ||
    { echo "the zip holds [$packed], its sums name [$summed], expected [$expected]" >&2; exit 1; }
[ "$(sha256sum < "$check/$name/Orlimo.exe")" = "$tested" ] ||
    { echo "the zip's Orlimo.exe is not the one the Wine tests ran" >&2; exit 1; }

step "the guide explains every message of Orlimo.exe and of the core"
python3 - "$check/$name/Orlimo.exe" docs/user-guide-ko.html core/report.cpp "$name.zip" <<'PY'
import html, re, struct, subprocess, sys
exe, guide, reports, zip_name = sys.argv[1:]
# The string table: blocks of 16 strings, each a UTF-16 length and its units.
raw = subprocess.run(["wrestool", "-x", "--raw", "--type=6", exe],
                     capture_output=True, check=True).stdout
strings, at = [], 0
while at < len(raw):
    units = struct.unpack_from("<H", raw, at)[0]
    strings.append(raw[at + 2:at + 2 + 2 * units].decode("utf-16-le"))
    at += 2 + 2 * units
# The messages are the Korean strings (the others are the About menu entry and
# the program's name) and the report templates, whose %d stand for counts.
messages = [s for s in strings if not s.isascii()]
messages += re.findall(r'string_view k\w+ = "([^"]*)"', open(reports, encoding="utf-8").read())
text = open(guide, encoding="utf-8").read()
shown = [" ".join(html.unescape(re.sub(r"<[^>]*>", " ", m)).split())
         for m in re.findall(r"<samp>(.*?)</samp>", text, re.S)]
patterns = {m: re.escape(" ".join(m.split())).replace("%d", r"-?\d+") for m in messages}
unexplained = [m for m, p in patterns.items() if not any(re.fullmatch(p, s) for s in shown)]
unknown = [s for s in shown if not any(re.fullmatch(p, s) for p in patterns.values())]
for m in unexplained: print(f"{guide}: no <samp> explains {m!r}")
for s in unknown: print(f"{guide}: <samp>{s}</samp> is no message of the program")
if zip_name not in text: print(f"{guide}: names no {zip_name}")
sys.exit(1 if unexplained or unknown or zip_name not in text else 0)
PY
echo "$(grep -c '<samp>' docs/user-guide-ko.html) messages explained"

step "reproducible: the same bytes from a fresh build-win-again/"
rm -rf build-win-again
cmake -S . -B build-win-again -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DORLIMO_BUILD_TESTS=OFF >/dev/null
cmake --build build-win-again -j "$(nproc 2>/dev/null || echo 2)" --target release
same=0
for f in bin/Orlimo.exe "$name.zip" SHA256SUMS; do
    cmp "build-win/$f" "build-win-again/$f" || same=1  # names the file and the first byte
done
[ "$same" = 0 ] || exit 1
echo "Orlimo.exe: $(stat -c %s build-win/bin/Orlimo.exe) bytes, sha256 $(sha256sum < build-win/bin/Orlimo.exe | cut -c1-64)"
echo "$name.zip: $(stat -c %s "build-win/$name.zip") bytes; both builds give the same bytes"
