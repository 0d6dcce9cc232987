#!/usr/bin/env bash
# Usage: scripts/wine-prefix.sh PREFIX
# Makes (or brings up to date) the Wine prefix that the Windows tests run in:
# 64-bit, no Mono or Gecko install prompts, no crash dialog (a crash must fail
# a test, not wait for a click), and one virtual desktop for every program, so
# that focus and window positions do not depend on a window manager. Tahoma,
# the font of Wine's title bars and message boxes, is linked to a Hangul font,
# as Windows links its own interface fonts.
set -euo pipefail
WINEPREFIX=$(realpath -m "$1")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY  # prefix creation needs no screen

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX" >&2
    timeout 600 wineboot --init
fi

# Wine draws the buttons of its title bars with Marlett (Debian: fonts-wine),
# but this Wine looks for its fonts beside its data folder, not in it: the
# prefix's own font folder gets the file.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x1024"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"=hex(7):4e,61,6e,75,6d,47,6f,74,68,69,63,2e,74,74,66,2c,4e,61,6e,75,6d,47,6f,74,68,69,63,00,00
REG
timeout 120 wine reg import "$(winepath -w "$settings" 2>/dev/null)" >/dev/null 2>&1
timeout 120 wineserver -w
