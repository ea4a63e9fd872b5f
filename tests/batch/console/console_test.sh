#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# console_test.sh CASE TABLE LINUX_PROGRAM PROGRAM...: one named case of zhuheng-batch, run as
# PROGRAM... (the Linux program, or wine and the Windows one) in a new folder on a copy of TABLE
# (beams.csv: every row completes, agrees or not, or ends as a result) named in Chinese.
# LINUX_PROGRAM: the Linux build's program, whose results the Windows program's must equal.
set -euo pipefail
case_name=$1
table=$2
linux_program=$3
shift 3
program=("$@")
work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
mkdir -m 700 runtime
export XDG_RUNTIME_DIR="$work/runtime"
cp "$table" 梁表.csv

fail() { echo "$case_name: $*"; exit 1; }
# Runs the program with the words given; its status, output and errors in status, out.txt, err.txt.
run() {
    status=0
    "${program[@]}" "$@" > out.txt 2> err.txt < /dev/null || status=$?
}
expect_status() {
    [ "$status" -eq "$1" ] || fail "ended with $status, not $1; output: $(cat out.txt err.txt)"
}
expect_files() {
    local f
    for f in "$@"; do [ -s "$f" ] || fail "wrote no $f; output: $(cat out.txt err.txt)"; done
}
expect_no_files() {
    local f
    for f in "$@"; do [ ! -e "$f" ] || fail "wrote $f"; done
    # Nor a temporary file of the results.
    if compgen -G '*结果.csv.*' > /dev/null; then fail "left $(echo *结果.csv.*) behind"; fi
}
expect_text() { # FILE TEXT
    grep -qF -- "$2" "$1" || fail "$1 lacks \"$2\": $(cat "$1")"
}
expect_no_errors() {
    [ ! -s err.txt ] || fail "printed on standard error: $(cat err.txt)"
}
# The table with the line `row` added.
table_with() {
    cp 梁表.csv "$1"
    printf '%s\r\n' "$2" >> "$1"
}

# The table followed by `times` more copies of its rows.
long_table() {
    local rows
    rows=$(tail -n +2 "$table")
    { cat 梁表.csv; head -n $(($2 * $(wc -l < "$table") - $2)) < <(yes "$rows"); } > "$1"
}

case $case_name in
rows-run)
    # Design, check, re-dimension and fault rows are all results.
    run 梁表.csv
    expect_status 0
    expect_files 梁表-结果.csv
    expect_no_files 梁表-计算书.pdf 梁表-计算书.odt
    expect_text out.txt "共 5 行"
    expect_text out.txt "单元格有误 0 行，核对不一致 0 行"
    # The window's digits (L1: 受拉钢筋面积).
    expect_text 梁表-结果.csv ",25.528,"
    # Standard error is no terminal here: no progress on it.
    expect_no_errors
    ;;
row-with-bad-cell)
    table_with 坏表.csv "L6,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8m,500"
    run 坏表.csv
    expect_status 1
    expect_files 坏表-结果.csv
    expect_text out.txt "单元格有误 1 行（第 7 行）"
    expect_text 坏表-结果.csv "0.8m"
    ;;
results-differ)
    # An earlier results table with one figure altered: that row differs, the rest agree.
    run 梁表.csv
    expect_status 0
    awk -F, -v OFS=, 'NR == 3 { $13 = 999 } 1' 梁表-结果.csv > 改表.csv
    cmp -s 梁表-结果.csv 改表.csv && fail "the altered table is the same"
    run 改表.csv
    expect_status 1
    expect_text out.txt "核对不一致 1 行（第 3 行）"
    ;;
output-elsewhere)
    mkdir 结果
    run -o 结果/批量.csv 梁表.csv
    expect_status 0
    expect_files 结果/批量.csv
    expect_no_files 梁表-结果.csv
    run --output=结果/又一.csv 梁表.csv
    expect_status 0
    cmp 结果/批量.csv 结果/又一.csv || fail "-o and --output= wrote different results"
    ;;
books-when-asked)
    run --pdf --odt --working 梁表.csv
    expect_status 0
    expect_files 梁表-结果.csv 梁表-计算书.pdf 梁表-计算书.odt
    # Each row under its 编号, with its main result (L1: 受拉钢筋面积) or its 结果.
    pdftotext -enc UTF-8 梁表-计算书.pdf book.txt || fail "the book is no PDF"
    for text in L1 25.528 L3 通过验算 L4 未通过 L5; do expect_text book.txt "$text"; done
    rm 梁表-计算书.pdf 梁表-计算书.odt
    # Without 编号, each row under its line.
    cut -d, -f2- 梁表.csv > 无编号.csv
    run --pdf 无编号.csv
    expect_status 0
    # (pdftotext drops the blanks between the label's words.)
    pdftotext -enc UTF-8 无编号-计算书.pdf - > book.txt || fail "the book is no PDF"
    tr -d ' ' < book.txt > labels.txt
    for text in 第2行 25.528 第6行; do expect_text labels.txt "$text"; done
    run --odt 梁表.csv
    expect_status 0
    expect_files 梁表-计算书.odt
    expect_no_files 梁表-计算书.pdf
    ;;
usage-errors)
    for words in "" "--nonsense 梁表.csv" "梁表.csv 梁表.csv" "-o" "--working 梁表.csv" \
                 "--output= 梁表.csv"; do
        # shellcheck disable=SC2086 # the words split on purpose
        run $words
        expect_status 2
        expect_text err.txt "zhuheng-batch --help"
        expect_no_files 梁表-结果.csv
    done
    ;;
table-unreadable)
    run 无此表.csv
    expect_status 2
    expect_text err.txt "无此表.csv"
    mkdir 文件夹.csv
    run 文件夹.csv
    expect_status 2
    expect_text err.txt "文件夹"
    printf 'PK\003\004 a workbook' > 工作簿.csv
    run 工作簿.csv
    expect_status 2
    expect_no_files 工作簿-结果.csv
    ;;
results-unwritable)
    run -o 无此文件夹/结果.csv 梁表.csv
    expect_status 3
    expect_text err.txt "无此文件夹"
    expect_no_files 无此文件夹
    # The table itself is never written over.
    run -o 梁表.csv 梁表.csv
    expect_status 3
    cmp -s "$table" 梁表.csv || fail "the table was written over"
    # A book that cannot be written takes the results with it; the earlier results stay.
    printf 'earlier' > 梁表-结果.csv
    mkdir 梁表-计算书.pdf
    run --pdf 梁表.csv
    expect_status 3
    [ "$(cat 梁表-结果.csv)" = earlier ] || fail "the earlier results were replaced"
    ;;
help)
    run --help
    expect_status 0
    expect_no_errors
    for text in "用法：zhuheng-batch [选项] 表格.csv" "-o, --output 文件" "--pdf" "--odt" \
                "--working" "退出状态" "3  结果文件或计算书无法写入"; do
        expect_text out.txt "$text"
    done
    ;;
progress-on-terminal)
    # A table long enough to be read in several steps, run with standard error on a terminal.
    long_table 长表.csv 2000
    script -qec "$(printf '%q ' "${program[@]}" 长表.csv) > out.txt" /dev/null > terminal.txt \
        || fail "ended with an error: $(cat terminal.txt)"
    expect_text terminal.txt "正在计算："
    expect_text out.txt "共 10005 行"
    ;;
interrupted)
    # Ended amid a long table: nothing is written, no temporary file stays.
    long_table 长表.csv 100000
    "${program[@]}" 长表.csv > out.txt 2> err.txt &
    pid=$!
    # Once the results file is begun: Qt's unnamed file in the folder (O_TMPFILE), or a named one.
    begun() {
        find "/proc/$pid/fd" \( -lname "$work/#*" -o -lname "$work/长表-结果.csv*" \) 2> /dev/null \
            | grep -q .
    }
    for _ in $(seq 1000); do begun && break; sleep 0.01; done
    begun || fail "the results were not begun: $(cat out.txt err.txt)"
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    expect_status 130
    expect_text err.txt "已中断"
    if compgen -G '长表-结果.csv*' > /dev/null; then fail "left $(echo 长表-结果.csv*)"; fi
    ;;
windows-equals-linux)
    # The same results, byte for byte, as the Linux build's program.
    mkdir linux
    cp 梁表.csv linux/梁表.csv
    run 梁表.csv
    expect_status 0
    (cd linux && "$linux_program" 梁表.csv > out.txt) || fail "the Linux program failed"
    cmp 梁表-结果.csv linux/梁表-结果.csv || fail "the results differ from Linux's"
    ;;
gbk-table)
    # A table saved in code page 936 gives the results of its UTF-8 twin.
    tail -c +4 梁表.csv | iconv -f UTF-8 -t GBK > 国标表.csv
    run 国标表.csv
    expect_status 0
    run 梁表.csv
    expect_status 0
    cmp 国标表-结果.csv 梁表-结果.csv || fail "the GBK table's results differ from its twin's"
    ;;
office-workbook)
    # A workbook as LibreOffice saves it runs as its CSV twin does, and its results come back as a
    # workbook, which LibreOffice reads with the results' digits.
    command -v soffice > /dev/null ||
        fail "no soffice: scripts/install-deps.sh installs libreoffice-calc-nogui"
    office=(soffice "-env:UserInstallation=file://$work/profile" --headless)
    "${office[@]}" --infilter=CSV:44,34,76,1 --convert-to xlsx 梁表.csv > /dev/null 2>&1 ||
        fail "LibreOffice made no workbook of the table"
    rm 梁表.csv
    run 梁表.xlsx
    expect_status 0
    expect_files 梁表-结果.xlsx
    expect_no_files 梁表-结果.csv
    run -o 工作簿结果.csv 梁表.xlsx
    expect_status 0
    cp "$table" 梁表.csv
    run 梁表.csv
    expect_status 0
    # The results (from the thirteenth column on) of the workbook's rows are the CSV's; LibreOffice
    # quotes every text.
    results() { sed '1s/^\xEF\xBB\xBF//; s/\r$//; s/"//g' "$1" | cut -d, -f13-; }
    [ "$(results 工作簿结果.csv)" = "$(results 梁表-结果.csv)" ] ||
        fail "the workbook's results differ from its CSV twin's: $(results 工作簿结果.csv)"
    mkdir office
    "${office[@]}" --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir office \
        梁表-结果.xlsx > /dev/null 2>&1 || fail "LibreOffice could not read the results workbook"
    [ "$(results office/梁表-结果.csv)" = "$(results 梁表-结果.csv)" ] ||
        fail "LibreOffice reads other results in the workbook: $(results office/梁表-结果.csv)"
    ;;
*)
    fail "no such case"
    ;;
esac
echo "$case_name: passed"
