#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# wine_display_scales.sh UI_TESTS PROGRAM SCREENSHOT: the window under wine with Qt's native
# windows platform, on a display of its own, at each scale a Windows desktop offers by its dots
# per inch (LogPixels): UI_TESTS' caption cases (every caption fits, no label's text runs under
# its box) at 100 %, 125 %, 150 % and 200 %, and PROGRAM's window at 150 %, which must be
# 740 × 458 pixels, saved as SCREENSHOT.
set -euo pipefail
ui_tests=$1
program=$2
screenshot=$3
source "$(dirname "$0")/../support/wine_display.sh"

wine_display_start
# No window manager runs on the display. The test program is told so, else it waits 2 s for one
# as each case closes its window; the program's window stays managed, so that its picture is of
# the window alone, without the frame wine would draw.
wine reg add 'HKCU\Software\Wine\AppDefaults\ui_tests.exe\X11 Driver' /v Managed /d N /f \
    > /dev/null
for row in "96 1 100" "120 1.25 125" "144 1.5 150" "192 2 200"; do
    read -r dpi scale percent <<< "$row"
    # A program reads the display's dots per inch as it starts.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f > /dev/null
    ZHUHENG_DISPLAY_SCALE=$scale wine "$ui_tests" --gtest_filter='EveryCaption/CaptionFit.*' \
        > "$work/captions.log" 2>&1 || { cat "$work/captions.log"; fail "captions at $percent %"; }
    tightest=$(grep ' px to spare' "$work/captions.log" | sort -t: -k2 -g | head -n 1)
    [ -n "$tightest" ] || { cat "$work/captions.log"; fail "no caption measured at $percent %"; }
    echo "tightest caption: $tightest"
    if [ "$percent" = 150 ]; then
        wine "$program" > "$work/program.log" 2>&1 &
        id=$(window_titled 筑衡)
        sleep 2 # its first paint
        import -window "$id" -strip -define png:exclude-chunks=date,time "$work/window.png"
        geometry=$(identify -format '%wx%h' "$work/window.png")
        [ "$geometry" = 740x458 ] || fail "the window at 150 % is $geometry, not 740x458"
        mkdir -p "$(dirname "$screenshot")"
        cp "$work/window.png" "$screenshot"
        wineserver -k
        wineserver -w
    fi
done
