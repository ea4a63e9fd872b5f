#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every scenario once under valgrind's memcheck and prints one summary line per script:
# scripts/valgrind-scenarios.sh [BUILD_DIR]. Exits non-zero when memcheck reports an error in
# any of them (leaks inside fontconfig, which keeps its caches for the life of the process,
# are suppressed).
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runner="$build/tests/scenarios/zhuheng-scenario"
supp=tests/sanitizers/valgrind.supp
failed=0
for script in tests/scenarios/*.scn; do
    log=$(mktemp)
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
        --suppressions="$supp" --log-file="$log" "$runner" "$script" > /dev/null 2>&1
    status=$?
    printf '%-45s %s | %s\n' "$(basename "$script")" \
        "$(grep -oE 'ERROR SUMMARY: [0-9]+ errors' "$log")" \
        "$(grep -oE 'definitely lost: [0-9,]+ bytes' "$log" || echo 'definitely lost: 0 bytes')"
    if [ "$status" -eq 99 ]; then
        failed=1
        cp "$log" "valgrind-$(basename "$script" .scn).log"
    fi
    rm -f "$log"
done
exit "$failed"
