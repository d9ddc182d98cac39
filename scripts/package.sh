#!/bin/sh
# Builds the Debian package morvane_<version>_<arch>.deb in build-pkg, checks
# it with lintian (any error or warning fails) and prints its path from the
# project's folder (build-pkg/...). Install it, as root or with sudo, with:
# apt-get install ./build-pkg/morvane_*.deb
#
# Reproducible: two builds of the same source in two empty build-pkg folders
# give the same bytes. Every time stamp in the package (the files', the
# archives', Qt's resources') is SOURCE_DATE_EPOCH, by default the date of the
# changelog's newest entry, as dpkg-buildpackage takes it.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh build package
: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l packaging/changelog -STimestamp)}"
export SOURCE_DATE_EPOCH
# The folders the install makes take their modes from the umask.
umask 022
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=OFF -DMORVANE_SANITIZE=OFF >/dev/null
cmake --build build-pkg -j"$(nproc)"
deb="$(cd build-pkg && cpack -G DEB 2>&1 | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
[ -n "$deb" ] || { echo "cpack made no package" >&2; exit 1; }
# cpack names the file by its absolute path.
deb="build-pkg/$(basename "$deb")"
if ! lintian --fail-on error,warning "$deb" >&2; then
    echo "lintian finds errors or warnings in $deb" >&2
    exit 1
fi
echo "$deb"
