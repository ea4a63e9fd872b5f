#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lintian_test.sh BUILD_DIR LINTIAN: builds the Debian package into a scratch folder of its
# own and runs Debian's lintian on it. Any error or warning fails, and so does anything lintian
# prints besides its tags: that is how it reports a check that could not run.
# Lintian unpacks the package it checks, so as root it runs as nobody instead.
set -euo pipefail
build=$1
lintian=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/zhuheng_*.deb)

mkdir "$work/home" "$work/tmp"
run=()
if [ "$(id -u)" -eq 0 ]; then
    getent passwd nobody > /dev/null || { echo "no user nobody to run lintian as"; exit 1; }
    chmod 755 "$work" "$work/pkg"
    chown nobody "$work/home" "$work/tmp"
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "${run[@]}" test -r "$deb" || { echo "nobody cannot read $deb (a TMPDIR closed to others?)"; exit 1; }
fi
# --no-cfg: a lintianrc on this machine must not hide tags. Overrides the package ships are
# honoured, so each one is justified beside it.
status=0
env -i PATH="$PATH" HOME="$work/home" TMPDIR="$work/tmp" LC_ALL=C.UTF-8 \
    "${run[@]}" "$lintian" --no-cfg --fail-on error,warning "$deb" \
    > "$work/lintian.out" 2> "$work/lintian.err" || status=$?
cat "$work/lintian.out" "$work/lintian.err"
if [ "$status" -ne 0 ]; then
    echo "lintian failed with status $status on $(basename "$deb")"; exit 1
fi
if grep -q '^[EW]: ' "$work/lintian.out"; then
    echo "lintian reported errors or warnings on $(basename "$deb")"; exit 1
fi
if [ -s "$work/lintian.err" ]; then
    echo "lintian printed messages of its own on $(basename "$deb")"; exit 1
fi
echo "lintian: $(basename "$deb") clean"
