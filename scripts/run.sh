#!/bin/sh
# Builds Morvane and starts it. Arguments are passed to the program,
# so "scripts/run.sh -Debug" opens the full edition.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target morvane -j"$(nproc)"
exec ./build/src/morvane "$@"
