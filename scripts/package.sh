#!/bin/sh
# Builds the Debian package morvane_<version>_<arch>.deb in build-pkg and
# prints its path from the project's folder (build-pkg/...). Install it, as
# root or with sudo, with: apt-get install ./build-pkg/morvane_*.deb
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh build package
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=OFF -DMORVANE_SANITIZE=OFF >/dev/null
cmake --build build-pkg -j"$(nproc)"
deb="$(cd build-pkg && cpack -G DEB 2>&1 | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
[ -n "$deb" ] || { echo "cpack made no package" >&2; exit 1; }
# cpack names the file by its absolute path.
echo "build-pkg/$(basename "$deb")"
