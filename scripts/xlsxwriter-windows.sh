#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds libxlsxwriter for Windows (static, MinGW-w64) from Debian's own source package, the
# version of the host's libxlsxwriter-dev, with zlib from Debian's zlib source package (MinGW-w64
# on Debian brings zlib's DLL but neither its headers nor a static library), and installs both
# into a cache outside the tree, beside Qt for Windows:
#   ${ZHUHENG_CACHE:-${XDG_CACHE_HOME:-~/.cache}/zhuheng}/xlsxwriter-windows/<version>-<key>
# <key> is a hash of the two versions, the build options, the patch, the toolchain and the
# compiler's version, so a change of any of them builds anew. The folder is put in place by one
# rename when both are built and installed: a half-built cache is never used. A second run
# finds it and only prints its path, the one line this script writes on standard output.
#
# Numbers are written by the library's own conversion (USE_DTOA_LIBRARY), not by the C
# library's printf, whose decimal point follows the locale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

cache=${ZHUHENG_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zhuheng}
xlsx_version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
zlib_version=$(dpkg-query -W -f='${source:Version}' zlib1g-dev)
jobs=${ZHUHENG_QT_JOBS:-$(($(nproc) + 1))}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
patch_file=$root/scripts/xlsxwriter-mingw-paths.patch
# Static, with minizip, MD5 and the double-to-text conversion of its own third-party folder:
# nothing beside the program, nothing of the host.
xlsx_options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DUSE_DTOA_LIBRARY=ON
    -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF)
compiler_version=$(x86_64-w64-mingw32-gcc-posix --version | head -n 1)
key=$(cat <(printf '%s\n' "$xlsx_version" "$zlib_version" "${xlsx_options[*]}" "$compiler_version") \
    "$toolchain" "$patch_file" | sha256sum | cut -c1-12)
prefix=$cache/xlsxwriter-windows/$xlsx_version-$key

if [ -f "$prefix/include/xlsxwriter.h" ] && [ -f "$prefix/lib/libxlsxwriter.a" ]; then
    echo "$prefix"
    exit 0
fi

start=$SECONDS
mkdir -p "$cache/xlsxwriter-windows"
work=$(mktemp -d "$cache/xlsxwriter-windows/work-$xlsx_version-$key.XXXXXX")
trap 'rm -rf "$work"' EXIT
staging=$prefix.partial
rm -rf "$staging"

# 1. zlib: the static library only (Debian's source has no makefile of zlib's for Windows; its
# configure takes MinGW from the host triplet).
"$root/scripts/debian-source.sh" zlib "$zlib_version" "$work/zlib"
echo "xlsxwriter-windows: building zlib" >&2
(cd "$work/zlib" && CHOST=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix CFLAGS=-O2 \
    ./configure --static >&2 && make -j "$jobs" libz.a >&2)
mkdir -p "$staging/include" "$staging/lib" "$staging/licenses"
cp "$work/zlib/zlib.h" "$work/zlib/zconf.h" "$staging/include/"
cp "$work/zlib/libz.a" "$staging/lib/"
cp "$work/zlib/debian/copyright" "$staging/licenses/zlib-copyright"

# 2. libxlsxwriter, against that zlib.
"$root/scripts/debian-source.sh" libxlsxwriter "$xlsx_version" "$work/xlsxwriter"
patch -d "$work/xlsxwriter" -p1 < "$patch_file" >&2
echo "xlsxwriter-windows: building libxlsxwriter" >&2
cmake -S "$work/xlsxwriter" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$staging" -DCMAKE_PREFIX_PATH="$staging" -DZLIB_ROOT="$staging" \
    -DZLIB_LIBRARY="$staging/lib/libz.a" -DZLIB_INCLUDE_DIR="$staging/include" \
    "${xlsx_options[@]}" >&2
nice -n 10 cmake --build "$work/build" --parallel "$jobs" >&2
cmake --install "$work/build" >&2
cp "$work/xlsxwriter/License.txt" "$staging/licenses/libxlsxwriter-License.txt"
cp "$work/xlsxwriter/debian/copyright" "$staging/licenses/libxlsxwriter-copyright"
printf '%s\n' "libxlsxwriter $xlsx_version" "zlib $zlib_version" "${xlsx_options[*]}" \
    > "$staging/zhuheng-configure.txt"
rm -rf "$prefix"
mv "$staging" "$prefix"
echo "xlsxwriter-windows: built in $((SECONDS - start)) s" >&2
echo "$prefix"
