#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a program against a CUPS server of its own: a scratch folder holds the server's whole
# configuration, spool and logs, the server listens on a socket there only, and its one queue
# (the default) writes PDF to $ZHUHENG_CUPS_OUT. No system service or file under /etc is used.
# The program gets CUPS_SERVER and a HOME of its own. Fails, with the server's log, when the
# server or the queue cannot be made.
#   cups_queue.sh PROGRAM [ARGS...]
set -uo pipefail

PATH=$PATH:/usr/sbin # cupsd and lpadmin, for a user whose PATH lacks it
scratch=$(mktemp -d /tmp/zhuheng-cups.XXXXXX) || exit 1
# Run as root, cupsd hands the spool to its filters as user lp.
chmod 0755 "$scratch"
mkdir -p "$scratch"/{etc,spool/tmp,cache,state,log,home}
sock=$scratch/cups.sock
pid=

fail() {
    echo "cups_queue.sh: $*" >&2
    cat "$scratch/log/error_log" >&2 2>/dev/null
    exit 1
}
stop() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$scratch"
}
trap stop EXIT

cat >"$scratch/etc/cupsd.conf" <<EOF
LogLevel debug
Listen $sock
Browsing No
WebInterface No
IdleExitTimeout 0
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
cat >"$scratch/etc/cups-files.conf" <<EOF
ServerRoot $scratch/etc
RequestRoot $scratch/spool
TempDir $scratch/spool/tmp
CacheDir $scratch/cache
StateDir $scratch/state
AccessLog $scratch/log/access_log
ErrorLog $scratch/log/error_log
PageLog $scratch/log/page_log
Printcap $scratch/printcap
FileDevice Yes
EOF

cupsd -f -c "$scratch/etc/cupsd.conf" -s "$scratch/etc/cups-files.conf" &
pid=$!
export CUPS_SERVER=$sock HOME=$scratch/home
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || { pid=; fail "cupsd exited at start"; }
    [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] && break
    sleep 0.1
done
[ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] || fail "cupsd does not answer on $sock"

export ZHUHENG_CUPS_OUT=$scratch/out.pdf ZHUHENG_CUPS_LOG=$scratch/log/error_log
lpadmin -p zhuheng -E -v "file://$ZHUHENG_CUPS_OUT" \
    -P /usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd || fail "lpadmin cannot make the queue"
lpadmin -d zhuheng || fail "lpadmin cannot make the queue the default"

"$@"
