#!/usr/bin/env bash
# Builds orlimo and runs Apply on the bundled example skin: shows the changed
# skin, what changed, and the report. Installs what it needs by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
step() { printf '\n==== %s ====\n' "$*"; }

step "packages"
bash scripts/ensure-packages.sh cmake make g++

step "build (build/bin/orlimo)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIMO_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$jobs" --target orlimo

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bin/orlimo apply examples/skin.html -o "$work/skin.html" 2>"$work/report"

step "build/bin/orlimo apply examples/skin.html: the changed skin"
cat "$work/skin.html"

step "what Apply changed"
diff -u --label examples/skin.html --label 'after apply' examples/skin.html "$work/skin.html" |
    tr -d '\r' || true

step "report"
cat "$work/report"

step "remove after apply"
if build/bin/orlimo remove "$work/skin.html" 2>/dev/null | cmp -s - examples/skin.html; then
    echo "gives examples/skin.html back byte for byte"
else
    echo "does not give examples/skin.html back" >&2
    exit 1
fi
