#!/bin/sh
# Runs the randomized GUI test with a chosen seed and number of events, e.g.
#   MORVANE_FUZZ_SEED=7 MORVANE_FUZZ_EVENTS=20000 scripts/guifuzz.sh
# Without a seed it takes the time. A failure names the last actions; the
# same seed replays them exactly. MORVANE_BUILD_DIR picks another build tree.
set -eu
cd "$(dirname "$0")/.."
build="${MORVANE_BUILD_DIR:-build}"
sh scripts/deps.sh build
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tst_hostile -j"$(nproc)"
export MORVANE_FUZZ_SEED="${MORVANE_FUZZ_SEED:-$(date +%s)}"
export MORVANE_FUZZ_EVENTS="${MORVANE_FUZZ_EVENTS:-2000}"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
echo "seed $MORVANE_FUZZ_SEED, $MORVANE_FUZZ_EVENTS events"
exec "./$build/tests/tst_hostile" randomEvents
