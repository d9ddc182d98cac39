#!/bin/sh
# Builds the benchmarks (Release, in build-bench) and runs them: the core
# with Google Benchmark, then the windows, the start-up and the statistics
# panel on the offscreen platform, and the two runs once more on a bare X
# server when Xvfb is installed. Prints one table. The tests never run any
# of this.
set -eu
cd "$(dirname "$0")/.."
# Google Benchmark comes with "bench"; without it CMake leaves bench/ out.
sh scripts/deps.sh build bench
dir=build-bench
log="$dir/bench.log"
mkdir -p "$dir"
: >"$log"

run() {
    if ! "$@" >>"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
}

run cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_TESTS=OFF
run cmake --build "$dir" -j"$(nproc)" --target morvane_bench_core morvane_bench_windows

export QT_QPA_PLATFORM=offscreen
core="$dir/bench/core.json"
"$dir/bench/morvane_bench_core" --benchmark_repetitions=9 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$core" 2>>"$log" || { cat "$log" >&2; exit 1; }

# A bare X server on the first free display, gone when the script ends.
xvfb=""
if command -v Xvfb >/dev/null 2>&1; then
    displayfile="$dir/xvfb.display"
    : >"$displayfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>>"$log" &
    xvfbpid=$!
    trap 'kill "$xvfbpid" 2>/dev/null || true' EXIT
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        [ -s "$displayfile" ] && break
        sleep 0.5
    done
    [ -s "$displayfile" ] && xvfb="--xvfb=:$(cat "$displayfile")"
fi

cpu="$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)"
echo "Morvane benchmarks, $(date +%Y-%m-%d), $(nproc) CPUs ($cpu)"
echo
"$dir/bench/morvane_bench_windows" --core "$core" $xvfb 2>>"$log" || { cat "$log" >&2; exit 1; }
