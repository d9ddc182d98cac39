#!/bin/sh
# Checks what a screen reader sees (AT-SPI, as Orca reads it) on a private X
# server with its own D-Bus session: every text box, scroll bar, slider,
# check box and button of both windows and of the lab is named, and a run made from the
# keyboard alone, with a disaster typed at t = 20, is described in words.
# Pass a folder to keep screenshots of the typed time and the final graph.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh build shots
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target morvane morvane-export >/dev/null
out="$(mktemp)"
trap 'rm -f "$out"' EXIT INT TERM
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    /usr/bin/python3 scripts/accessibility.py build/src/morvane build/src/morvane-export "$@" \
    >"$out" 2>&1 || status=$?
# The sessions' own chatter is left out.
grep -v -e '^dbus-daemon' -e '^SpiRegistry' -e '^QStandardPaths' "$out" || true
exit "$status"
