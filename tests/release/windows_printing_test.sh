#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# windows_printing_test.sh INSTALLER SHEET WORKING, run by cups_queue.sh: a CUPS server of the
# test's own with one queue that writes PDF, named in CUPS_SERVER. In a new wine prefix, whose
# printer driver (wineps) offers that queue, on a display of its own, the installed program
# prints the worked example (25号, Ⅱ级, 500 KN.m) through the system's printer dialog, all by
# the keyboard as a user can:
#   1 copy: the queue gets one job, one page whose text is SHEET, every font embedded;
#   cancelled in the dialog: no job;
#   附计算过程及截面图 ticked in 打  印's menu, 2 copies chosen in the dialog: one job of four
#   pages, SHEET and the working (the page begins with WORKING) twice, each once.
# Texts are compared without their blanks and line breaks, which the layout decides, and in
# Unicode's canonical composition (NFC): wine's PostScript driver sees only the face's glyphs, and
# reads the glyph of 不 (U+4E0D) back as its canonical twin U+F967, which the face maps to the
# same glyph.
set -euo pipefail
installer=$1
sheet=$2
working=$3
source "$(dirname "$0")/../support/wine_display.sh"
[ -n "${CUPS_SERVER:-}" ] && [ -n "${ZHUHENG_CUPS_OUT:-}" ] ||
    fail "no CUPS server of the test's own: run through cups_queue.sh"

squeezed() { tr -d ' \t\r\n\f' | perl -CSD -MUnicode::Normalize -0777 -pe '$_ = NFC($_)'; }
keys() { xdotool key --delay 80 "$@"; }
typed() { xdotool type --delay 80 "$1"; }
# Gives the window the keyboard, as a click on it would.
focus() { xdotool windowfocus --sync "$1"; sleep 0.3; }
completed_jobs() { lpstat -W completed -o 2> /dev/null | wc -l; }
# Waits until the queue has completed `count` jobs, then keeps what the last one wrote.
job_written() {
    local count=$1 copy=$2
    for _ in $(seq 300); do
        [ "$(completed_jobs)" -ge "$count" ] && break
        sleep 0.2
    done
    [ "$(completed_jobs)" = "$count" ] ||
        fail "the queue completed $(completed_jobs) jobs, not $count: $(lpstat -W all -o)" \
            "$(tail -n 20 "$ZHUHENG_CUPS_LOG")"
    cp "$ZHUHENG_CUPS_OUT" "$copy"
}
pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
page_text() { pdftotext -layout -f "$2" -l "$2" "$1" - | squeezed; }
# Opens the printer dialog with 打  印, which has the focus.
print_dialog() {
    focus "$window"
    keys Return
    dialog=$(window_titled 打印)
    focus "$dialog"
}

wine_display_start
wine "$installer" /S
wineserver -w
target="$WINEPREFIX/drive_c/Program Files/筑衡"
(cd "$target" && wine ./zhuheng.exe > "$work/program.log" 2>&1 &)
window=$(window_titled 筑衡)
focus "$window"

# The worked example, from the focus the window starts with (配筋计算): the mode, the two
# grades picked by the arrow keys, the section (钢筋强度 empty; 钢筋面积 hidden in a design),
# 计  算, then on to 打  印.
keys space Tab Tab Down Down Down Tab Down Down Tab Tab
for value in 0.05 1.0 0.15 0.2 0.8 500; do
    typed "$value"
    keys Tab
done
keys Return Tab Tab

# 1. One copy, as the dialog offers it.
print_dialog
keys Return
window_closed "$dialog"
job_written 1 "$work/one.pdf"
[ "$(pages "$work/one.pdf")" = 1 ] || fail "one copy printed $(pages "$work/one.pdf") pages"
[ "$(page_text "$work/one.pdf" 1)" = "$(squeezed < "$sheet")" ] ||
    fail "the sheet printed reads $(pdftotext "$work/one.pdf" -)"
unembedded=$(pdffonts "$work/one.pdf" | awk 'NR > 2 && $(NF - 4) != "yes"')
[ -z "$unembedded" ] || fail "fonts not embedded: $unembedded"

# 2. Cancelled: whatever follows is the queue's second job.
print_dialog
keys Escape
window_closed "$dialog"

# 3. The working ticked in 打  印's menu (Shift+F10 opens it, J takes its item), 2 copies.
focus "$window"
keys shift+F10
sleep 0.5
keys j
print_dialog
# The copies field by its mnemonic; its text is selected as it takes the focus.
keys alt+c
typed 2
keys Return
window_closed "$dialog"
job_written 2 "$work/two.pdf"
[ "$(pages "$work/two.pdf")" = 4 ] || fail "2 copies with the working printed" \
    "$(pages "$work/two.pdf") pages, not 4: $(pdftotext "$work/two.pdf" -)"
for page in 1 3; do
    [ "$(page_text "$work/two.pdf" $page)" = "$(squeezed < "$sheet")" ] ||
        fail "page $page is not the sheet: $(pdftotext -f $page -l $page "$work/two.pdf" -)"
    next=$(page_text "$work/two.pdf" $((page + 1)))
    [ "${next#"$(squeezed < "$working")"}" != "$next" ] ||
        fail "page $((page + 1)) is not the working: $(pdftotext -f $((page + 1)) \
            -l $((page + 1)) "$work/two.pdf" -)"
done
echo "printed through wine's printer dialog: 1 copy, a cancel, 2 copies with the working"
