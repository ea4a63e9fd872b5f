#!/usr/bin/env bash
# Builds 筑衡 and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZHUHENG_BUILD_TESTS=OFF -DZHUHENG_BUILD_BENCH=OFF
cmake --build "$build" --target zhuheng
exec "$build/app/zhuheng"
