#!/bin/sh
# Builds and runs every test: the plain build under the C locale, then again
# under two locales with a decimal comma (Russian, as a Russian desktop has
# it, and German), then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, in the Russian locale. The comma locales are
# made in the build folder when the system lacks them; a pass whose locale
# cannot be made fails instead of testing the C locale again.
set -eu
cd "$(dirname "$0")/.."
sh scripts/deps.sh test
jobs="$(nproc)"
locales="$PWD/build/locales"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
sh scripts/locales.sh "$locales" ru_RU.UTF-8 de_DE.UTF-8

# LC_ALL outranks whatever LANG or LC_* the caller has. MORVANE_EXPECT_LOCALE
# makes a test check that the C library really switched to that locale.
pass() {
    echo "== tests in the locale $2 ($1)"
    env LOCPATH="$locales" LC_ALL="$2" MORVANE_EXPECT_LOCALE="$2" \
        ctest --test-dir "$1" --output-on-failure -j"$jobs"
}
pass build C.UTF-8
pass build ru_RU.UTF-8
pass build de_DE.UTF-8

if [ "${MORVANE_SKIP_SANITIZERS:-0}" != "1" ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON -DMORVANE_BUILD_TESTS=ON -DMORVANE_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs"
    pass build-asan ru_RU.UTF-8
fi
