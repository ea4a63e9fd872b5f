#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# windows_installer_test.sh INSTALLER SCREENSHOT: installs the Windows installer silently (/S)
# into a new wine prefix, checks every file, the Start-menu entry and the entry in the system's
# list of programs, starts the installed program under Xvfb with Qt's native windows platform,
# requires a window titled exactly 筑衡 and saves it as SCREENSHOT, then uninstalls silently and
# requires that nothing the installer put is left.
set -euo pipefail
installer=$1
screenshot=$2
work=$(mktemp -d)
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "${xvfb:-}" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
drive_c=$WINEPREFIX/drive_c
target="$drive_c/Program Files/筑衡"
menu_entry="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/筑衡.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zhuheng'
installed=(zhuheng.exe wqy-microhei.ttc translations/qtbase_zh_CN.qm uninstall.exe
    licenses/GPL-3.0-or-later.txt licenses/Qt-LGPL-3.0.txt licenses/Qt-notices.txt
    licenses/WenQuanYi-Micro-Hei.txt licenses/Apache-2.0.txt)

wineboot --init > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot"; }
wineserver -w

# 1. Install.
wine "$installer" /S
wineserver -w
for f in "${installed[@]}"; do
    [ -s "$target/$f" ] || fail "not installed: Program Files/筑衡/$f"
done
left=$(cd "$target" && find . -type f | sed 's|^\./||' | sort)
expected=$(printf '%s\n' "${installed[@]}" | sort)
[ "$left" = "$expected" ] || fail "the installation holds other files: $left"
[ -s "$menu_entry" ] || fail "no Start-menu entry 筑衡"
# The entry in the list of programs, as reg.exe exports it (UTF-16).
wine reg export "$key" "$work/entry.reg" > /dev/null 2>&1 || fail "no key $key"
entry=$(iconv -f UTF-16 -t UTF-8 "$work/entry.reg" | tr -d '\r')
for line in '"DisplayName"="筑衡"' '"DisplayIcon"="C:\\Program Files\\筑衡\\zhuheng.exe,0"' \
    '"UninstallString"="\"C:\\Program Files\\筑衡\\uninstall.exe\""' \
    '"QuietUninstallString"="\"C:\\Program Files\\筑衡\\uninstall.exe\" /S"'; do
    grep -qxF "$line" <<< "$entry" || fail "the list of programs lacks $line: $entry"
done

# The wine session of the steps above had no display: it must end before the program starts.
wineserver -w

# 2. Start it on a real X display with the windows platform; a window titled exactly 筑衡.
display=:$((90 + $$ % 9))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo > /dev/null 2>&1 && break
    sleep 0.1
done
(cd "$target" && DISPLAY=$display wine ./zhuheng.exe > "$work/program.log" 2>&1 &)
# The first program a new prefix shows on a display waits for wine to list the host's fonts.
id=""
for _ in $(seq 600); do
    # awk reads to the end: xwininfo would die of a broken pipe, and pipefail end the script.
    id=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null |
        awk '/"筑衡"/ && id == "" {id = $1} END {print id}')
    [ -n "$id" ] && break
    sleep 0.2
done
[ -n "$id" ] || { cat "$work/program.log"; fail "no window titled 筑衡 within 120 s"; }
title=$(DISPLAY=$display xprop -id "$id" _NET_WM_NAME)
[ "$title" = '_NET_WM_NAME(UTF8_STRING) = "筑衡"' ] || fail "the window's title is $title"
sleep 2 # its first paint
DISPLAY=$display import -window "$id" -strip -define png:exclude-chunks=date,time \
    "$work/window.png"
colours=$(identify -format '%k' "$work/window.png")
geometry=$(identify -format '%wx%h' "$work/window.png")
[ "$colours" -ge 16 ] || fail "the window is drawn in $colours colours only: blank?"
echo "window $id, $geometry, $colours colours"
mkdir -p "$(dirname "$screenshot")"
cp "$work/window.png" "$screenshot"

# 3. Uninstall silently: nothing the installer put is left.
wineserver -k
wineserver -w
wine "$target/uninstall.exe" /S
wineserver -w
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
for _ in $(seq 100); do
    [ -e "$target" ] || break
    sleep 0.2
done
[ ! -e "$target" ] || fail "left after uninstalling: $(cd "$target" && find . | tr '\n' ' ')"
[ ! -e "$menu_entry" ] || fail "the Start-menu entry is left"
if wine reg query "$key" > /dev/null 2>&1; then fail "the entry in the list of programs is left"; fi
echo "installed, started, uninstalled: $(stat -c %s "$installer") bytes"
