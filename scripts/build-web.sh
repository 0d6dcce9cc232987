#!/usr/bin/env bash
# Builds the web page, build-web/orlimo.html: the core compiled to
# WebAssembly with Emscripten (build-web/orlimo-core.{js,wasm}), then bundled
# with the page's script and style into one self-contained file. Before it,
# build-web/bbcode35.js, the script a skin loads (held to its size budget).
# Installs what it needs (Debian packages, the npm packages of web/) by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/ensure-packages.sh emscripten node-acorn nodejs
command -v npm >/dev/null || bash scripts/ensure-packages.sh npm

# Debian's Emscripten ships its system libraries prebuilt (a frozen cache in
# /usr/share/emscripten/cache): nothing is built into a cache on first use.
# Its optimizer needs Debian's acorn.
export NODE_PATH=/usr/share/nodejs
mkdir -p build-web
em++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wconversion -Wshadow \
    -fwasm-exceptions -Icore \
    core/*.cpp web/orlimo_wasm.cpp \
    -o build-web/orlimo-core.js \
    -sMODULARIZE=1 -sEXPORT_NAME=createOrlimoCore -sENVIRONMENT=web,node \
    -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB -sFILESYSTEM=0 \
    -sEXPORTED_FUNCTIONS=_malloc,_free

# npm ci only when the lock file changed since the last install.
if ! cmp -s web/package-lock.json web/node_modules/.orlimo-installed-lock; then
    (cd web && npm ci --no-audit --no-fund && cp package-lock.json node_modules/.orlimo-installed-lock)
fi
node web/bbcode/build.mjs build-web/bbcode35.js
node web/build.mjs build-web build-web/orlimo.html
