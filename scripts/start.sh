#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds 筑衡 and starts it. Builds in a folder of its own (build-release), so that it never
# shares a CMake cache with the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZHUHENG_WERROR=OFF \
    -DZHUHENG_BUILD_TESTS=OFF -DZHUHENG_BUILD_BENCH=OFF -DZHUHENG_WITH_QT=ON \
    -DZHUHENG_SANITIZE=OFF -DZHUHENG_FUZZ=OFF
cmake --build "$build" --target zhuheng
exec "$build/app/zhuheng"
