#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# host_tools.sh WINEPREFIX EMULATOR... PROGRAM [ARGS...]: runs a test program under wine and, while
# it runs, carries out its requests for the host's tools, which a Windows program cannot start:
# poppler's, to read back the PDF files it wrote. The program finds the spool folder in
# ZHUHENG_HOST_TOOLS (run_tool in tests/report/printed_text.h): a request ID.req holds the tool
# and its arguments, one a line; the answer is ID.out, ID.err and, last, ID.done with the exit
# status. A Windows path among the arguments (C:/..., Z:\...) is read through the prefix's drive
# links. Only poppler's tools are run. Exits with the program's status.
set -uo pipefail
prefix=$1
shift
spool=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$spool"' EXIT

on_host() {
    if [[ $1 =~ ^([A-Za-z]):[/\\](.*)$ ]]; then
        local rest=${BASH_REMATCH[2]//\\//}
        printf '%s' "$prefix/dosdevices/${BASH_REMATCH[1],,}:/$rest"
    else
        printf '%s' "$1"
    fi
}

serve() {
    local req id words tool args a status
    while :; do
        for req in "$spool"/*.req; do
            [ -e "$req" ] || continue
            id=${req%.req}
            mapfile -t words < "$req"
            rm -f "$req"
            tool=${words[0]:-}
            args=()
            for a in "${words[@]:1}"; do
                args+=("$(on_host "$a")")
            done
            case ${tool##*/} in
            pdftotext | pdftocairo | pdffonts | pdfinfo)
                "$tool" "${args[@]}" > "$id.out" 2> "$id.err"
                status=$?
                ;;
            *)
                : > "$id.out"
                echo "not a host tool: $tool" > "$id.err"
                status=127
                ;;
            esac
            echo "$status" > "$id.tmp"
            mv "$id.tmp" "$id.done"
        done
        sleep 0.01
    done
}
serve &
server=$!

ZHUHENG_HOST_TOOLS=$spool "$@"
