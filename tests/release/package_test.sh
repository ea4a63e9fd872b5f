#!/usr/bin/env bash
# package_test.sh BUILD_DIR: builds the Debian package, unpacks it into a scratch root with
# dpkg -x, checks what it installs and what it depends on, and starts the installed program
# offscreen: it must still be running after 3 seconds, with nothing printed.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/zhuheng_*.deb)
dpkg -x "$deb" "$work/root"

for f in usr/bin/zhuheng \
         usr/share/applications/org.zhuheng.Zhuheng.desktop \
         usr/share/metainfo/org.zhuheng.Zhuheng.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/org.zhuheng.Zhuheng.png \
         usr/share/icons/hicolor/256x256/apps/org.zhuheng.Zhuheng.png; do
    [ -e "$work/root/$f" ] || { echo "missing in the package: $f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-noto-cjk; do
    case "$depends" in *"$d"*) ;; *) echo "the package does not depend on $d: $depends"; exit 1 ;; esac
done

mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    "$work/root/usr/bin/zhuheng" > "$work/out.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    echo "the installed program ended within 3 seconds:"; cat "$work/out.log"; exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
if [ -s "$work/out.log" ]; then
    echo "the installed program printed:"; cat "$work/out.log"; exit 1
fi
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
