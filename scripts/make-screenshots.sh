#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders docs/screenshot-design.png and docs/screenshot-check.png from the real window after
# the worked design and check runs, with the window's own rendering offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target zhuheng-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/tools/zhuheng-screenshots" docs
