#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# package_test.sh BUILD_DIR TABLE: builds the Debian package, unpacks it into a scratch root with
# dpkg -x, checks what it installs, depends on and recommends, and starts the installed program
# offscreen: it must still be running after 3 seconds, with nothing printed. The installed
# zhuheng-batch then runs TABLE without a display, its calc book in the pinned face.
set -euo pipefail
build=$1
table=$2
work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/zhuheng_*.deb)
dpkg -x "$deb" "$work/root"

for f in usr/bin/zhuheng usr/bin/zhuheng-batch \
         usr/share/applications/org.zhuheng.Zhuheng.desktop \
         usr/share/metainfo/org.zhuheng.Zhuheng.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/org.zhuheng.Zhuheng.png \
         usr/share/icons/hicolor/256x256/apps/org.zhuheng.Zhuheng.png \
         usr/share/doc/zhuheng/copyright \
         usr/share/doc/zhuheng/README.md.gz \
         usr/share/doc/zhuheng/使用说明.md.gz \
         usr/share/man/man1/zhuheng.1.gz \
         usr/share/man/zh_CN/man1/zhuheng.1.gz \
         usr/share/man/man1/zhuheng-batch.1.gz \
         usr/share/man/zh_CN/man1/zhuheng-batch.1.gz; do
    [ -e "$work/root/$f" ] || { echo "missing in the package: $f"; exit 1; }
done
# Each dependency is an entry of its own, not one side of an alternative. The libraries carry
# the versions dpkg-shlibdeps found; the rest is what the program loads at run time.
depends=$(dpkg-deb -f "$deb" Depends)
IFS=',' read -ra entries <<< "$depends"
entry() {
    local e
    for e in "${entries[@]}"; do
        e=${e#"${e%%[! ]*}"}
        if [ "${e%% *}" = "$1" ]; then printf '%s\n' "$e"; return 0; fi
    done
    return 1
}
for d in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    e=$(entry "$d") || { echo "the package does not depend on $d: $depends"; exit 1; }
    [[ $e == "$d (>= "[0-9]*")" && $e != *"|"* ]] || { echo "no version on $d: $e"; exit 1; }
done
for d in qt6-qpa-plugins fonts-wqy-microhei qt6-translations-l10n; do
    e=$(entry "$d") || { echo "the package does not depend on $d: $depends"; exit 1; }
    [ "$e" = "$d" ] || { echo "the dependency on $d is not plain: $e"; exit 1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = qt6-wayland ] || { echo "the package recommends \"$recommends\", not qt6-wayland"; exit 1; }
# Lintian does not compare the two: the changelog's latest entry must be this version.
zcat "$work/root/usr/share/doc/zhuheng/changelog.gz" > "$work/changelog"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
if [ "$changelog_version" != "$(dpkg-deb -f "$deb" Version)" ]; then
    echo "the changelog's latest version is $changelog_version, the package's $(dpkg-deb -f "$deb" Version)"
    exit 1
fi

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
cp "$table" "$work/梁表.csv"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/runtime" \
    "$work/root/usr/bin/zhuheng-batch" --pdf 梁表.csv > batch.log 2>&1) \
    || { echo "the installed zhuheng-batch failed:"; cat "$work/batch.log"; exit 1; }
for f in 梁表-结果.csv 梁表-计算书.pdf; do
    [ -s "$work/$f" ] || { echo "the installed zhuheng-batch wrote no $f:"; cat "$work/batch.log"; exit 1; }
done
pdffonts "$work/梁表-计算书.pdf" | grep -q WenQuanYi \
    || { echo "the calc book is not set in WenQuanYi Micro Hei:"; pdffonts "$work/梁表-计算书.pdf"; exit 1; }
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
