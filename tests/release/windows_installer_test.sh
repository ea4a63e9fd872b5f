#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# windows_installer_test.sh INSTALLER FILES SCREENSHOT PACK_SCRIPT [-DNAME=VALUE...]
# The installer as a user meets it, in a new wine prefix on a display of its own. FILES is the
# installation as INSTALLER lays it out; PACK_SCRIPT (pack_installer.cmake, with the -D options
# it needs besides the files, the version and the output) packs an earlier version here:
#   1. an earlier version, 0.0.1: the same files with bytes appended to the program and one file
#      more (retired\retired.txt), signed with a certificate made here, a time-stamp server named
#      that cannot be reached. Installed silently: its files, the Start-menu entry and the entry
#      in the list of programs; the signatures of the installer, the programs and the uninstaller
#      hold against the certificate and fail where a byte is changed;
#   2. while that program runs: INSTALLER, silently and as a user starts it (who cancels when
#      asked to close 筑衡), and the uninstaller, silently, exit 2 and change nothing;
#   3. INSTALLER over the earlier version: exactly the files of FILES, byte for byte; one entry in
#      the list of programs, with the new version; a new uninstaller; the console program
#      zhuheng-batch.exe starts where it is installed;
#   4. the Start-menu entry starts the program in a window titled exactly 筑衡 with Qt's native
#      windows platform; the window is saved as SCREENSHOT; while it runs, the uninstaller refuses;
#   5. closed, uninstalled silently: nothing the installer put is left.
set -euo pipefail
installer=$1
files=$2
screenshot=$3
pack_script=$4
shift 4
source "$(dirname "$0")/../support/wine_display.sh"

drive_c=$work/prefix/drive_c
target="$drive_c/Program Files/筑衡"
# The installation's folder as Windows writes it, split where wine would quote the argument:
# an uninstaller given _?= runs in place and returns its own exit code, only unquoted.
windows_target=('_?=C:\Program' 'Files\筑衡')
menu_entry="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/筑衡.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
key="$uninstall_key\\Zhuheng"
new_version=$(basename "$installer" | sed -n 's/^zhuheng-\(.*\)-win64-setup\.exe$/\1/p')
expected=$( (cd "$files" && find . -type f | sed 's|^\./||'; echo uninstall.exe) | sort)

# What an install or an uninstall may change: every file of the installation, the Start-menu
# entry and the entry in the list of programs (as reg.exe exports it, UTF-16).
state() {
    if [ -d "$target" ]; then (cd "$target" && find . -type f -exec sha256sum {} + | sort); fi
    if [ -e "$menu_entry" ]; then sha256sum < "$menu_entry"; fi
    if wine reg export "$key" "$work/state.reg" /y > /dev/null 2>&1; then
        iconv -f UTF-16 -t UTF-8 "$work/state.reg" | tr -d '\r'
    fi
}
installed_files() { (cd "$target" && find . -type f | sed 's|^\./||' | sort); }
entry() {
    wine reg export "$key" "$work/entry.reg" /y > /dev/null 2>&1 || fail "no key $key"
    iconv -f UTF-16 -t UTF-8 "$work/entry.reg" | tr -d '\r'
}
# Runs a command that must exit with `want`.
exits() {
    local want=$1 got=0
    shift
    "$@" || got=$?
    [ "$got" = "$want" ] || fail "$* exited $got, not $want"
}
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" > "$work/verify.log" 2>&1; }

wine_display_start

# 1. The earlier version, signed.
earlier=$work/earlier
cp -r "$files" "$earlier"
printf 'an earlier build\n' >> "$earlier/zhuheng.exe"
mkdir "$earlier/retired"
printf 'a file only the earlier version has\n' > "$earlier/retired/retired.txt"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=筑衡 test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2> /dev/null
# zlib: a faster pack than the release's lzma, the same installer otherwise.
cmake "$@" -DFILES="$earlier" -DVERSION=0.0.1 -DOUTPUT="$work/zhuheng-0.0.1-win64-setup.exe" \
    -DCOMPRESSOR=zlib -DSIGN_CERT="$work/cert.pem" -DSIGN_KEY="$work/key.pem" \
    -DSIGN_TIMESTAMP_URL=http://127.0.0.1:9/ -P "$pack_script" > "$work/pack.log" 2>&1 ||
    { cat "$work/pack.log"; fail "the earlier version was not packed"; }
grep -q 'signed without one' "$work/pack.log" ||
    fail "an unreachable time-stamp server was not reported: $(cat "$work/pack.log")"
exits 0 wine "$work/zhuheng-0.0.1-win64-setup.exe" /S
[ "$(installed_files)" = "$(printf '%s\nretired/retired.txt' "$expected" | sort)" ] ||
    fail "the earlier version installed $(installed_files)"
[ -s "$menu_entry" ] || fail "no Start-menu entry 筑衡"
for line in '"DisplayName"="筑衡"' '"DisplayVersion"="0.0.1"' \
    '"DisplayIcon"="C:\\Program Files\\筑衡\\zhuheng.exe,0"' \
    '"UninstallString"="\"C:\\Program Files\\筑衡\\uninstall.exe\""' \
    '"QuietUninstallString"="\"C:\\Program Files\\筑衡\\uninstall.exe\" /S"'; do
    grep -qxF "$line" <<< "$(entry)" || fail "the list of programs lacks $line: $(entry)"
done
cp "$target/uninstall.exe" "$work/earlier-uninstall.exe"
for signed in "$work/zhuheng-0.0.1-win64-setup.exe" "$target/zhuheng.exe" \
              "$target/zhuheng-batch.exe" "$target/uninstall.exe"; do
    verify "$signed" || fail "$signed: the signature does not hold: $(cat "$work/verify.log")"
    cp "$signed" "$work/changed.exe"
    size=$(stat -c %s "$signed")
    # The middle byte turned into another one (writing a fixed byte changes nothing where the
    # byte is that one already).
    middle=$(od -An -tu1 -j $((size / 2)) -N1 "$signed" | tr -d ' ')
    printf "\\$(printf '%03o' $((255 - middle)))" |
        dd of="$work/changed.exe" bs=1 seek=$((size / 2)) conv=notrunc status=none
    cmp -s "$signed" "$work/changed.exe" && fail "$signed: the byte was not changed"
    if verify "$work/changed.exe"; then fail "$signed: a changed byte still verifies"; fi
done

# 2. While the earlier program runs (its window shows once it holds the mark the installer
# looks for), nothing is installed or uninstalled.
(cd "$target" && wine ./zhuheng.exe > "$work/earlier-program.log" 2>&1 &)
window_titled 筑衡 > /dev/null
before=$(state)
exits 2 wine "$installer" /S
exits 2 wine "$target/uninstall.exe" /S "${windows_target[@]}"
# As a user starts it: asked to close 筑衡, the user cancels.
wine "$installer" > /dev/null 2>&1 &
asking=$!
prompt=$(window_titled "筑衡 $new_version 安装")
xdotool windowfocus --sync "$prompt" key Escape
exits 2 wait "$asking"
[ "$(state)" = "$before" ] || fail "a refused install or uninstall changed the installation"
wineserver -k
wineserver -w

# 3. The new version over the earlier one.
exits 0 wine "$installer" /S
[ "$(installed_files)" = "$expected" ] ||
    fail "after the upgrade the installation holds $(installed_files)"
(cd "$files" && find . -type f -exec sha256sum {} +) | (cd "$target" && sha256sum --quiet -c -) ||
    fail "the upgrade left files of the earlier version"
if cmp -s "$target/uninstall.exe" "$work/earlier-uninstall.exe"; then
    fail "the upgrade kept the earlier uninstaller"
fi
grep -qxF "\"DisplayVersion\"=\"$new_version\"" <<< "$(entry)" ||
    fail "the list of programs does not show $new_version: $(entry)"
wine reg export "$uninstall_key" "$work/programs.reg" /y > /dev/null 2>&1 || fail "no key $uninstall_key"
listed=$(iconv -f UTF-16 -t UTF-8 "$work/programs.reg" | tr -d '\r' | grep -cxF '"DisplayName"="筑衡"' || true)
[ "$listed" = 1 ] || fail "the list of programs holds 筑衡 $listed times"
# The console program, beside the window's, starts where it is installed.
usage=$(wine "$target/zhuheng-batch.exe" --help 2>&1) || fail "zhuheng-batch.exe --help failed: $usage"
grep -qF "用法：zhuheng-batch" <<< "$usage" || fail "zhuheng-batch.exe --help printed: $usage"

# 4. The Start-menu entry starts the new program.
wine start /unix "$menu_entry" > "$work/program.log" 2>&1
id=$(window_titled 筑衡)
title=$(xprop -id "$id" _NET_WM_NAME)
[ "$title" = '_NET_WM_NAME(UTF8_STRING) = "筑衡"' ] || fail "the window's title is $title"
sleep 2 # its first paint
import -window "$id" -strip -define png:exclude-chunks=date,time "$work/window.png"
colours=$(identify -format '%k' "$work/window.png")
geometry=$(identify -format '%wx%h' "$work/window.png")
[ "$colours" -ge 16 ] || fail "the window is drawn in $colours colours only: blank?"
echo "window $id, $geometry, $colours colours"
mkdir -p "$(dirname "$screenshot")"
cp "$work/window.png" "$screenshot"
before=$(state)
exits 2 wine "$target/uninstall.exe" /S "${windows_target[@]}"
[ "$(state)" = "$before" ] || fail "a refused uninstall changed the installation"

# 5. Closed, uninstalled silently.
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
echo "upgraded from 0.0.1, refused beside the running program, started, uninstalled:" \
    "$(stat -c %s "$installer") bytes"
