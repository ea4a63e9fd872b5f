#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build and the tests need, only those still missing, and
# generates the locales the tests run under. Runs apt-get and locale-gen as root, or through
# sudo. Safe to run again.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev
    qt6-translations-l10n fonts-wqy-microhei fonts-noto-cjk
    libgtest-dev libgmock-dev libbenchmark-dev
    libxlsxwriter-dev
    poppler-utils libreoffice-writer-nogui libreoffice-calc-nogui
    xvfb xclip dbus-daemon dbus-bin at-spi2-core
    clang libclang-rt-14-dev
    desktop-file-utils appstream
    cups cups-client cups-filters cups-ipp-utils
    dpkg-dev lintian
    locales
    g++-mingw-w64-x86-64-posix wine wine64 nsis x11-utils imagemagick xdotool osslsigncode openssl
    "$@"
)
locales=(de_DE.UTF-8 zh_CN.UTF-8)

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
fi

# locale -a writes de_DE.utf8 for de_DE.UTF-8.
missing_locales=()
for l in "${locales[@]}"; do
    if ! locale -a | grep -qx "${l%.UTF-8}.utf8"; then
        missing_locales+=("$l")
    fi
done
if [ ${#missing_locales[@]} -gt 0 ]; then
    echo "Generating locales: ${missing_locales[*]}"
    for l in "${missing_locales[@]}"; do
        if ! grep -qx "$l UTF-8" /etc/locale.gen; then
            echo "$l UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen > /dev/null
        fi
    done
    "${as_root[@]}" locale-gen
fi
