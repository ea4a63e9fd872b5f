#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the fuzz targets for longer than CI does: scripts/fuzz.sh [SECONDS_EACH] (default 600).
# New inputs that widen coverage are kept in build-fuzz/corpus/; a crashing input is written to
# the current folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds=${1:-600}
build=${BUILD_DIR:-build}-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZHUHENG_FUZZ=ON -DZHUHENG_WITH_QT=ON -DZHUHENG_BUILD_TESTS=ON -DZHUHENG_BUILD_BENCH=OFF \
    -DZHUHENG_SANITIZE=OFF
cmake --build "$build"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/sanitizers/lsan.supp"
for target in text_to_number main_form batch_table workbook; do
    mkdir -p "$build/corpus/$target"
    "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        "$build/corpus/$target" "tests/fuzz/corpus/$target"
done
