#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders docs/screenshot-design.png and docs/screenshot-check.png from the real window after
# the worked design and check runs, docs/screenshot-print-dialog.png of the printer dialog
# with its options open, docs/screenshot-print-menu.png of 打  印's menu with the working ticked,
# docs/screenshot-print-preview.png of the print preview, docs/screenshot-working-page.png of
# the working's page in it, docs/screenshot-batch-menu.png of 计  算's menu and
# docs/screenshot-batch-summary.png of the summary of a table run from it. The program runs on
# X11 under Xvfb, as on an engineer's desktop: the dialog offers the PDF file name it offers there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target zhuheng-screenshots
work=$(mktemp -d)
trap 'kill ${xvfb:-} 2>/dev/null || true; rm -rf "$work"' EXIT
display=:98
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
sleep 1
mkdir -p docs
mkdir -m 700 "$work/runtime"
DISPLAY=$display XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
    "$build/tools/zhuheng-screenshots" docs
