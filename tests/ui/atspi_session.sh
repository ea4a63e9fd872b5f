#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# atspi_session.sh PROGRAM [ARGS...]: runs PROGRAM as on a desktop where a screen reader runs: on
# an X display of its own (Xvfb, no display needed beforehand), in a D-Bus session of its own,
# with accessibility switched on the way a screen reader switches it on, so that Qt's xcb platform
# publishes the window on the AT-SPI bus. Fails, saying why, when any of them cannot be had, and
# stops every process it started.
set -euo pipefail

for tool in Xvfb dbus-run-session dbus-send setsid; do
    if ! command -v "$tool" > /dev/null; then
        echo "atspi_session.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
xvfb=
session=
cleanup() {
    # The session's group holds the buses and the services they started.
    if [ -n "$session" ]; then
        kill -TERM -- "-$session" 2> /dev/null || true
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2> /dev/null || true
        wait "$xvfb" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# Xvfb picks a free display and writes its number once it takes clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" > "$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
    if [ -s "$work/display" ] || ! kill -0 "$xvfb" 2> /dev/null; then
        break
    fi
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "atspi_session.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

mkdir -m 700 "$work/runtime"
export DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=xcb

# In a process group of its own, so that nothing the session started outlives it.
setsid dbus-run-session -- bash -c '
    if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true > /dev/null; then
        echo "atspi_session.sh: the D-Bus session has no AT-SPI bus (at-spi2-core)" >&2
        exit 1
    fi
    exec "$@"' atspi_session "$@" &
session=$!
status=0
wait "$session" || status=$?
exit "$status"
