#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for ${1:-60} seconds
# over a copy of its corpus: the calculation over tests/fuzz/corpus, then
# the scenario file reader over tests/fuzz/scenarios. Inputs that crash are
# left in build-fuzz/findings; add the interesting ones to the corpus by hand.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh fuzz
seconds="${1:-60}"
build="build-fuzz"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DMORVANE_FUZZ=ON -DMORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_model fuzz_scenario -j"$(nproc)"

rm -rf "$build/corpus" "$build/findings"
mkdir -p "$build/findings"
cp -r tests/fuzz/corpus "$build/corpus"
# A series is sized lazily, so a span of millions of steps only reserves
# address space before the pass refuses it; let such allocations through,
# and let a refused one come back as null (OutOfMemory) as it would without
# the sanitizer.
ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1" \
UBSAN_OPTIONS="print_stacktrace=1" \
    "./$build/tests/fuzz/fuzz_model" "$build/corpus" \
    -max_total_time="$seconds" -max_len=256 -malloc_limit_mb=65536 -rss_limit_mb=4096 \
    -timeout=20 -artifact_prefix="$build/findings/" -print_final_stats=1

rm -rf "$build/scenarios"
cp -r tests/fuzz/scenarios "$build/scenarios"
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    "./$build/tests/fuzz/fuzz_scenario" "$build/scenarios" \
    -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=4096 \
    -timeout=20 -artifact_prefix="$build/findings/" -print_final_stats=1
