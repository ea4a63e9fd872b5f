#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Qt for Windows (static, MinGW-w64, only what 筑衡 needs) from Debian's own qt6-base
# source package, the version of the host's Qt, and installs it into a cache outside the tree:
#   ${ZHUHENG_CACHE:-${XDG_CACHE_HOME:-~/.cache}/zhuheng}/qt-windows/<version>-<key>
# <key> is a hash of the configure line, the toolchain and the compiler's version, so a change
# of any of them builds anew. The folder is put in place by one rename when the build and the
# install are whole: a half-built cache is never used. A second run finds it and only prints
# its path, the one line this script writes on standard output.
#
# The source comes through apt with lists and archives of its own in the cache, checked against
# the signed Release and the .dsc's checksums (scripts/debian-source.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

cache=${ZHUHENG_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zhuheng}
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
# One job more than cores: a core waiting on the disk still has work.
jobs=${ZHUHENG_QT_JOBS:-$(($(nproc) + 1))}

# The toolchain Qt is built with: the project's compilers, without the wine emulator the
# project's toolchain file adds for its tests.
toolchain_text='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
'
# Direct2D stays: without it QtGui leaves out the DirectWrite font engine that the windows
# platform plugin and PrintSupport call. Direct2D 1.1 goes: it only adds the direct2d platform
# plugin, a second copy of the windows one that the program never loads. No JPEG, GIF or ICO:
# the program reads and prints no picture but its PNG icon. Optimised for size: a smaller
# program and installer, and nothing in the program waits on Qt's speed. Qt's own copies of the
# third-party libraries, so that nothing of the program needs a DLL beside it.
configure_options=(-release -optimize-size -static -static-runtime -xplatform win32-g++
    -qt-host-path /usr -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-pkg-config
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -no-gif -no-ico -qt-harfbuzz -qt-freetype
    -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml
    -no-feature-tabletevent -no-feature-androiddeployqt -no-feature-vulkan
    -no-feature-direct2d1_1)
compiler_version=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
key=$(printf '%s\n' "$qt_version" "${configure_options[*]}" "$toolchain_text" "$compiler_version" |
    sha256sum | cut -c1-12)
prefix=$cache/qt-windows/$qt_version-$key

if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "$prefix"
    exit 0
fi

start=$SECONDS
mkdir -p "$cache/qt-windows"
work=$(mktemp -d "$cache/qt-windows/work-$qt_version-$key.XXXXXX")
trap 'rm -rf "$work"' EXIT

# 1. The source package, checked and patched (scripts/debian-source.sh).
"$root/scripts/debian-source.sh" qt6-base "$qt_version" "$work/src"

# 2. Configure, build and install into a folder beside the cache, renamed when whole.
printf '%s' "$toolchain_text" > "$work/toolchain.cmake"
staging=$prefix.partial
rm -rf "$staging"
mkdir -p "$work/build"
echo "qt-windows: configuring" >&2
(cd "$work/build" && "$work/src/configure" -prefix "$staging" "${configure_options[@]}" -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >&2
echo "qt-windows: building with $jobs jobs" >&2
nice -n 10 cmake --build "$work/build" --parallel "$jobs" >&2
cmake --install "$work/build" >&2
# Qt's licence texts go with the program.
mkdir -p "$staging/licenses"
cp "$work/src/LICENSES/LGPL-3.0-only.txt" "$work/src/LICENSES/GPL-3.0-only.txt" \
    "$staging/licenses/" 2>/dev/null || cp -r "$work/src/LICENSES" "$staging/licenses/qtbase"
cp "$work/src/debian/copyright" "$staging/licenses/debian-copyright"
printf '%s\n' "$qt_version" "${configure_options[*]}" > "$staging/zhuheng-configure.txt"
rm -rf "$prefix"
mv "$staging" "$prefix"
echo "qt-windows: built in $((SECONDS - start)) s" >&2
echo "$prefix"
