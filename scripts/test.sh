#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, three times over:
#   build/        the normal build: all tests, scenarios included;
#   build-asan/   the same with AddressSanitizer and UndefinedBehaviorSanitizer;
#   build-fuzz/   clang with libFuzzer: each fuzz target for a bounded time.
# Window tests run offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
root=$(pwd)

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1"

echo "== normal build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZHUHENG_WERROR=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 300 -j2

echo "== sanitizer build"
cmake -S . -B "$build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZHUHENG_WERROR=ON \
    -DZHUHENG_SANITIZE=ON -DZHUHENG_BUILD_BENCH=OFF
cmake --build "$build-asan"
ctest --test-dir "$build-asan" --output-on-failure --timeout 600 -j2

echo "== fuzz build"
CC=clang CXX=clang++ cmake -S . -B "$build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZHUHENG_WERROR=ON -DZHUHENG_FUZZ=ON -DZHUHENG_BUILD_BENCH=OFF
cmake --build "$build-fuzz"
ctest --test-dir "$build-fuzz" -V --timeout 600
