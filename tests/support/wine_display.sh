# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run Windows programs under wine in a prefix of their own, on an X
# display of their own (Xvfb) with Qt's native windows platform. Sourcing makes a scratch folder,
# $work, and at exit ends the prefix's programs and the display and removes the folder.
#   wine_display_start      Xvfb on a free display (DISPLAY), a new prefix in $work/prefix
#                           (WINEPREFIX) whose session runs on that display from its first program
#   window_titled TITLE     prints the X window ID of the first shown window titled exactly
#                           TITLE, waiting up to 120 s; fails where none shows
#   window_closed ID        waits up to 30 s until the window ID no longer shows; fails where it
#                           still does

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A Chinese Windows: its ANSI code page (936) holds the installation's folder name, which wine
# writes into a shortcut only in that code page (in another the Start-menu entry leads nowhere),
# and wine's own dialogs are in Chinese.
export LC_ALL=zh_CN.UTF-8
unset WAYLAND_DISPLAY QT_QPA_PLATFORM WINEQT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

wine_display_start() {
    export WINEPREFIX=$work/prefix
    # Xvfb picks a free display and writes its number once it accepts connections.
    exec {display_fd}<> <(:)
    Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
    xvfb=$!
    local number=""
    read -r -t 30 -u "$display_fd" number || true
    [ -n "$number" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=:$number
    wineboot --init > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot"; }
    wineserver -w
}

window_titled() {
    local id candidate
    # The first program a new prefix shows on a display waits for wine to list the host's fonts.
    for _ in $(seq 600); do
        id=""
        # awk reads to the end: xwininfo would die of a broken pipe, and pipefail end the script.
        for candidate in $(xwininfo -root -tree 2>/dev/null |
            awk -v title="\"$1\"" 'index($0, title) {print $1}'); do
            # Shown, so that it can take the keyboard and be pictured.
            if xwininfo -id "$candidate" 2>/dev/null | grep -q 'Map State: IsViewable'; then
                id=$candidate
                break
            fi
        done
        [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || fail "no window titled $1 within 120 s"
    echo "$id"
}

window_closed() {
    for _ in $(seq 150); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || return 0
        sleep 0.2
    done
    fail "the window $1 still shows after 30 s"
}

wine_display_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "${xvfb:-}" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
work=$(mktemp -d)
trap wine_display_stop EXIT
