#!/bin/sh
# Builds the benchmarks (Release, in build-bench) and runs them: the core
# with Google Benchmark, then the windows, the start-up and the statistics
# panel on the offscreen platform. Prints one table. The tests never run
# any of this.
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

cpu="$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)"
echo "Morvane benchmarks, $(date +%Y-%m-%d), $(nproc) CPUs ($cpu)"
echo
"$dir/bench/morvane_bench_windows" --core "$core" 2>>"$log" || { cat "$log" >&2; exit 1; }
