#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# run_fuzz.sh TARGET SEED_CORPUS SECONDS: fuzzes on a scratch copy of the seeds, so that the
# committed corpus stays as it is, and fails on any finding. A crashing input is kept in
# ARTIFACT_DIR (default: the current folder).
set -uo pipefail
target=$1 seeds=$2 seconds=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds"/. "$work"/
export LSAN_OPTIONS="suppressions=$here/../sanitizers/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="${ARTIFACT_DIR:-$PWD}/" "$work" > "$work.log" 2>&1
status=$?
if [ "$status" -ne 0 ]; then
    cat "$work.log"
else
    grep -E '^(stat::|Done|INFO: Seed)' "$work.log"
fi
rm -f "$work.log"
exit "$status"
