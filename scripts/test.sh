#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with warnings as errors and runs every test, after checking the start
# command the way a user runs the two in a row:
#   build-release/  the start command (scripts/start.sh): the program is built and started
#                   offscreen, and must still be running after 3 seconds;
#   build/          the normal build: all tests, scenarios included;
#   build-asan/     the same with AddressSanitizer and UndefinedBehaviorSanitizer at -O1,
#                   but for the package's checks and the office suite's reading;
#   build-fuzz/     clang with libFuzzer: each fuzz target for a bounded time;
#   build-windows/  everything cross-built for Windows with MinGW-w64 and a static Qt for
#                   Windows (scripts/qt-windows.sh builds it once into a cache, and
#                   scripts/xlsxwriter-windows.sh libxlsxwriter beside it), the installer
#                   made with NSIS; each test program and every scenario run under wine, and
#                   the installer installed, started and uninstalled in a new wine prefix.
# Every stage passes all the options it relies on, so a folder configured otherwise before
# is set right again, and every ctest call fails when it finds no test. Window tests run
# offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
root=$(pwd)

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1"

echo "== start command (at $SECONDS s)"
start_env=()
if [ -n "${BUILD_DIR:-}" ]; then
    start_env=(BUILD_DIR="$build-release")
fi
start_log=$(mktemp)
env -u BUILD_DIR "${start_env[@]}" bash scripts/start.sh > "$start_log" 2>&1 &
start_pid=$!
trap 'kill "$start_pid" 2>/dev/null || true; rm -f "$start_log"' EXIT
# start.sh builds, then replaces itself with the program.
started=""
for _ in $(seq 1200); do
    if ! kill -0 "$start_pid" 2>/dev/null; then
        break
    fi
    exe=$(readlink "/proc/$start_pid/exe" || true)
    if [ "${exe##*/}" = zhuheng ]; then
        started=yes
        break
    fi
    sleep 0.5
done
if [ -n "$started" ]; then
    sleep 3
fi
if [ -z "$started" ] || ! kill -0 "$start_pid" 2>/dev/null; then
    echo "the start command did not start the program, or the program ended at once:"
    cat "$start_log"
    exit 1
fi
kill "$start_pid"
wait "$start_pid" 2>/dev/null || true
echo "the program was built and started, and ran until stopped"

# Line tables (-g1) are all a failure's backtrace needs, and build faster than full debug
# information; the code is the same.
options=(-DZHUHENG_WERROR=ON -DZHUHENG_BUILD_TESTS=ON -DZHUHENG_WITH_QT=ON -DZHUHENG_GTEST_SOURCE_DIR=
    -DZHUHENG_FACE_SOURCE=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")
ctest_options=(--output-on-failure --no-tests=error)

echo "== normal build (at $SECONDS s)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" \
    -DZHUHENG_BUILD_BENCH=ON -DZHUHENG_SANITIZE=OFF -DZHUHENG_FUZZ=OFF
cmake --build "$build"
ctest --test-dir "$build" "${ctest_options[@]}" --timeout 300 -j2

echo "== sanitizer build (at $SECONDS s)"
# -O1, as the sanitizers' own documentation advises: the reports are as good, and the large test
# files compile in about two thirds of the time. The package's checks and the office suite's
# reading look at what outside programs make of our files, which the normal build has checked;
# the code that writes those files runs here under the other tests.
cmake -S . -B "$build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
    -DZHUHENG_BUILD_BENCH=OFF -DZHUHENG_SANITIZE=ON -DZHUHENG_FUZZ=OFF
cmake --build "$build-asan"
ctest --test-dir "$build-asan" "${ctest_options[@]}" --timeout 600 -j2 --label-exclude 'release|libreoffice'

echo "== fuzz build (at $SECONDS s)"
CC=clang CXX=clang++ cmake -S . -B "$build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${options[@]}" -DZHUHENG_BUILD_BENCH=OFF -DZHUHENG_SANITIZE=OFF -DZHUHENG_FUZZ=ON
cmake --build "$build-fuzz"
# The two fuzz targets side by side, each on a core of its own.
ctest --test-dir "$build-fuzz" "${ctest_options[@]}" -V --timeout 600 -j2

echo "== windows build (at $SECONDS s)"
windows_start=$SECONDS
# Qt for Windows, built once from Debian's sources into a cache outside the tree.
qt_windows=$(scripts/qt-windows.sh)
echo "Qt for Windows: $qt_windows ($((SECONDS - windows_start)) s)"
# libxlsxwriter (with zlib) for Windows, the same way and beside it.
xlsxwriter_windows=$(scripts/xlsxwriter-windows.sh)
echo "libxlsxwriter for Windows: $xlsxwriter_windows ($((SECONDS - windows_start)) s)"
# --fresh: the compilers come from the toolchain file, which CMake reads only on a first
# configure. The files the Windows scenario runner saves, and the results of the Windows
# zhuheng-batch, are compared with those of the normal build's programs.
cmake --fresh -S . -B "$build-windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt_windows;$xlsxwriter_windows" -DQT_HOST_PATH=/usr "${options[@]}" -DZHUHENG_GTEST_SOURCE_DIR=/usr/src/googletest \
    -DZHUHENG_LINUX_SCENARIO_RUNNER="$(cd "$build" && pwd)/tests/scenarios/zhuheng-scenario" \
    -DZHUHENG_LINUX_BATCH_PROGRAM="$(cd "$build" && pwd)/app/zhuheng-batch" \
    -DZHUHENG_BUILD_BENCH=OFF -DZHUHENG_SANITIZE=OFF -DZHUHENG_FUZZ=OFF
cmake --build "$build-windows"
ls -l "$build-windows"/zhuheng-*-win64-setup.exe
# Every program starts under wine, beside one wine server that the tests start first and end
# last.
ctest --test-dir "$build-windows" "${ctest_options[@]}" --timeout 600 -j2
echo "windows build and tests: $((SECONDS - windows_start)) s"
echo "== all passed in $SECONDS s"
