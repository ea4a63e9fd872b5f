#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches one of Debian's source packages and unpacks it with Debian's patches applied:
#   scripts/debian-source.sh <package> <version> <folder>
# <folder> must not exist yet; the files downloaded stay in <folder>.orig beside it, for the
# caller to remove with its work. The scripts that build libraries for Windows from the host's
# own versions (qt-windows.sh, xlsxwriter-windows.sh) share it.
#
# The source comes through apt with a sources list of its own (deb-src of the host's suites),
# lists and archives of its own in the cache: the machine's apt configuration is not touched.
# apt checks the files against the signed Release and the .dsc's checksums, and dpkg-source
# checks them again as it unpacks. Everything goes to standard error.
set -euo pipefail
if [ $# -ne 3 ]; then
    echo "usage: $0 <package> <version> <folder>" >&2
    exit 2
fi
package=$1
version=$2
folder=$3

cache=${ZHUHENG_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zhuheng}
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/etc/preferences.d" \
    "$apt_dir/etc/parts"
: > "$apt_dir/etc/sources.list"
: > "$apt_dir/etc/sources.sources"
# deb-src for every suite and address the machine's own sources use for its packages.
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case $f in
    *.sources)
        awk -v RS= '/(^|\n)Types:[^\n]*deb/ && /URIs:/ {
            uris = ""; suites = ""; comps = ""; key = ""
            n = split($0, lines, "\n")
            for (i = 1; i <= n; i++) {
                if (lines[i] ~ /^URIs:/) { uris = substr(lines[i], 6) }
                if (lines[i] ~ /^Suites:/) { suites = substr(lines[i], 8) }
                if (lines[i] ~ /^Components:/) { comps = substr(lines[i], 12) }
                if (lines[i] ~ /^Signed-By:/) { key = substr(lines[i], 11) }
            }
            print "Types: deb-src\nURIs:" uris "\nSuites:" suites "\nComponents:" comps \
                (key != "" ? "\nSigned-By:" key : "") "\n"
        }' "$f" >> "$apt_dir/etc/sources.sources"
        ;;
    *) sed -n 's/^deb \(.*\)/deb-src \1/p' "$f" >> "$apt_dir/etc/sources.list" ;;
    esac
done
rm -f "$apt_dir/etc/parts/sources.sources"
if [ -s "$apt_dir/etc/sources.sources" ]; then
    cp "$apt_dir/etc/sources.sources" "$apt_dir/etc/parts/sources.sources"
fi
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/etc/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/etc/parts"
    -o "Dir::Etc::Preferences=$apt_dir/etc/preferences"
    -o "Dir::Etc::PreferencesParts=$apt_dir/etc/preferences.d"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir"
    -o "Dir::Cache::archives=$apt_dir/archives" -o "APT::Sandbox::User=root" -q)

echo "debian-source: fetching $package $version with apt" >&2
apt-get "${apt_options[@]}" update >&2
mkdir -p "$folder.orig"
(cd "$folder.orig" && apt-get "${apt_options[@]}" source --download-only "$package=$version" >&2)
dsc=$(ls "$folder.orig/${package}_"*.dsc)
# dpkg-source checks every file against the .dsc's checksums and applies Debian's patches.
dpkg-source --require-strong-checksums -x "$dsc" "$folder" >&2
