#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, unpacks it into a scratch root, starts the installed program in a
# real X window under Xvfb and saves the window as docs/screenshot-installed.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb x11-utils imagemagick
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target zhuheng
work=$(mktemp -d)
trap 'kill ${app:-} ${xvfb:-} 2>/dev/null || true; rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/pkg" > /dev/null)
dpkg -x "$work"/pkg/zhuheng_*.deb "$work/root"

display=:97
Xvfb "$display" -screen 0 800x500x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
sleep 1
mkdir -m 700 "$work/runtime"
DISPLAY=$display XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb "$work/root/usr/bin/zhuheng" &
app=$!
for _ in $(seq 50); do
    id=$(DISPLAY=$display xwininfo -root -tree | awk '/"筑衡"/ {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.2
done
sleep 1
mkdir -p docs
DISPLAY=$display import -window "$id" docs/screenshot-installed.png
echo "docs/screenshot-installed.png: window $id"
